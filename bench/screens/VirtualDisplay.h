#pragma once

#include <QProcess>
#include <QString>

// An Xvfb display of its own for the OpenGL run; its number comes back on its standard output.
class VirtualDisplay
{
public:
    bool start()
    {
        m_server.start(QStringLiteral("Xvfb"),
                       {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
                        QStringLiteral("0"), QStringLiteral("1024x768x24"), QStringLiteral("-nolisten"),
                        QStringLiteral("tcp")});
        if (!m_server.waitForStarted(10000))
            return false;
        while (!m_server.canReadLine()) {
            if (!m_server.waitForReadyRead(10000))
                return false;
        }
        m_display = QLatin1Char(':') + QString::fromLatin1(m_server.readLine()).trimmed();
        return true;
    }

    ~VirtualDisplay()
    {
        if (m_server.state() == QProcess::NotRunning)
            return;
        m_server.terminate();
        if (!m_server.waitForFinished(5000))
            m_server.kill();
    }

    QString name() const { return m_display; }

private:
    QProcess m_server;
    QString m_display;
};
