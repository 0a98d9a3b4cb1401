#pragma once

#include <QString>

// Names, version and font of the application; call right after creating the QGuiApplication.
// The CJK font makes every Chinese text render on systems without one configured.
void hsSetUpApplication();

// Where the defaults file and the cache database live; created when missing.
QString hsDataDirectory();
