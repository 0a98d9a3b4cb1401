#include "HsAppSetup.h"

#include <QDir>
#include <QFont>
#include <QGuiApplication>
#include <QStandardPaths>

void hsSetApplicationNames()
{
    QCoreApplication::setOrganizationName(QStringLiteral("hsschool"));
    QCoreApplication::setApplicationName(QStringLiteral("hsschool"));
    QCoreApplication::setApplicationVersion(QStringLiteral(HSSCHOOL_APP_VERSION));
    // Ties the windows to the installed desktop entry, whose icon and name the desktop shows.
    QGuiApplication::setDesktopFileName(QStringLiteral("hsschool"));
}

void hsSetUpApplication()
{
    hsSetApplicationNames();
    QFont font(QStringLiteral("WenQuanYi Micro Hei"));
    font.setPixelSize(15);
    QGuiApplication::setFont(font);
}

QString hsDataDirectory()
{
    const QString directory = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    QDir().mkpath(directory);
    return directory;
}
