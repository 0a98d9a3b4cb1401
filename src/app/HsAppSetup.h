#pragma once

#include <QString>

// Names and version of the application, which also decide where its data lives.
void hsSetApplicationNames();

// Names, version and font; call right after creating the QGuiApplication. The CJK font makes
// every Chinese text render on systems without one configured.
void hsSetUpApplication();

// Where the defaults file and the cache database live; created when missing.
QString hsDataDirectory();

// A termination request (SIGTERM from a session ending or a service manager, SIGINT, SIGHUP) ends
// the application as closing its window does: the event loop returns and everything shuts down in
// order, instead of the process dying mid-write.
void hsQuitOnTerminationSignals();
