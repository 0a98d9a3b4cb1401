#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>
#include <optional>

// A helper program started for the length of a run, which says where it can be reached on the
// first line of its standard output (a display's number, a server's address); stopped at the end.
class AnnouncingChild
{
public:
    // Starts the program and returns its first line, trimmed; nothing when it does not start or
    // says nothing in time. Its standard error goes to `errorFile` when one is given.
    std::optional<QString> start(const QString &program, const QStringList &arguments, int milliseconds,
                                 const QString &errorFile = {})
    {
        if (!errorFile.isEmpty())
            m_process.setStandardErrorFile(errorFile);
        m_process.start(program, arguments);
        if (!m_process.waitForStarted(milliseconds))
            return std::nullopt;
        while (!m_process.canReadLine()) {
            if (!m_process.waitForReadyRead(milliseconds))
                return std::nullopt;
        }
        return QString::fromUtf8(m_process.readLine()).trimmed();
    }

    ~AnnouncingChild()
    {
        if (m_process.state() == QProcess::NotRunning)
            return;
        m_process.terminate();
        if (!m_process.waitForFinished(5000))
            m_process.kill();
    }

private:
    QProcess m_process;
};
