#pragma once

#include "AnnouncingChild.h"

#include <QString>

// An Xvfb display of its own for the OpenGL run; its number comes back on its standard output.
class VirtualDisplay
{
public:
    bool start()
    {
        const std::optional<QString> number =
            m_server.start(QStringLiteral("Xvfb"),
                           {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
                            QStringLiteral("0"), QStringLiteral("1024x768x24"), QStringLiteral("-nolisten"),
                            QStringLiteral("tcp")},
                           10000);
        m_display = number ? QLatin1Char(':') + *number : QString();
        return number.has_value();
    }

    QString name() const { return m_display; }

private:
    AnnouncingChild m_server;
    QString m_display;
};
