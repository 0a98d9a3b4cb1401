#pragma once

#include <QString>

// Names and version of the application, which also decide where its data lives.
void hsSetApplicationNames();

// Names, version and font; call right after creating the QGuiApplication. The CJK font makes
// every Chinese text render on systems without one configured.
void hsSetUpApplication();

// Where the defaults file and the cache database live; created when missing.
QString hsDataDirectory();
