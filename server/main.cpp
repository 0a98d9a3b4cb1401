// hsschool-server: the reference school service with its demo school.
#include "SchoolServer.h"

#include <CLI/CLI.hpp>
#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <pthread.h>
#include <thread>

namespace {

// Blocks SIGINT and SIGTERM in every thread started after this, so that only the waiting
// thread below receives them and can stop the server outside any signal handler.
sigset_t blockStopSignals()
{
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);
    std::signal(SIGPIPE, SIG_IGN);
    return signals;
}

} // namespace

int main(int argc, char **argv)
{
    ServerOptions options;
    options.databasePath = "hsschool-server.sqlite3";
    options.picturesDir = HSSCHOOL_SERVER_PICTURES;
    options.serviceNamespace = HSSCHOOL_SERVICE_NAMESPACE;

    CLI::App app{"The school service: SOAP calls at /school/services/schoolSvc, pictures at /images/"};
    app.add_option("--port", options.port, "port to listen on; 0 picks a free one")->capture_default_str();
    app.add_option("--db", options.databasePath,
                   "sqlite database file, or a PostgreSQL address (postgresql://USER@HOST/DATABASE)")
        ->envname("HSSCHOOL_SERVER_DB")
        ->capture_default_str();
    app.add_flag("--seed", options.seed, "replace the database's content with the demo school");
    app.add_option("--host", options.host, "address to listen on")->capture_default_str();
    app.add_option("--pictures", options.picturesDir, "folder served below /images/")->capture_default_str();
    app.add_option("--namespace", options.serviceNamespace, "service namespace for requests without one")
        ->capture_default_str();
    HttpLimits &limits = options.limits;
    app.add_option("--threads", limits.threads, "threads that read, answer and write")
        ->capture_default_str()
        ->check(CLI::Range(1, 256));
    app.add_option("--connections-per-address", limits.connectionsPerAddress,
                   "open connections one peer address may hold")
        ->capture_default_str()
        ->check(CLI::Range(1, 100000));
    app.add_option("--idle-seconds", limits.idleSeconds, "an idle connection is closed after this long")
        ->capture_default_str()
        ->check(CLI::Range(1, 3600));
    app.add_option(
           "--exchange-seconds", limits.exchangeSeconds,
           "a request must have arrived and been answered this long after its connection began waiting")
        ->capture_default_str()
        ->check(CLI::Range(1, 3600));
    app.add_flag("--quiet", options.quiet, "no access log line per request (also HSSCHOOL_SERVER_QUIET=1)");
    CLI11_PARSE(app, argc, argv);
    if (const char *quiet = std::getenv("HSSCHOOL_SERVER_QUIET");
        quiet != nullptr && *quiet != '\0' && std::strcmp(quiet, "0") != 0)
        options.quiet = true;

    const sigset_t stopSignals = blockStopSignals();
    try {
        SchoolServer server(options);
        const int port = server.bind();
        if (port < 0) {
            std::cerr << "cannot listen on " << options.host << ":" << options.port << "\n";
            return 1;
        }
        std::cout << "listening on http://" << options.host << ":" << port << std::endl;

        std::atomic<bool> finished{false};
        std::thread stopper([&] {
            int signal = 0;
            sigwait(&stopSignals, &signal);
            // A signal that comes before the server has started serving must still end it.
            while (!server.isRunning() && !finished)
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            server.stop();
        });
        const bool served = server.run();
        finished = true;
        // Wakes the waiting thread if the server ended on its own.
        pthread_kill(stopper.native_handle(), SIGTERM);
        stopper.join();
        std::cerr << "stopped\n";
        return served ? 0 : 1;
    } catch (const std::exception &e) {
        std::cerr << "hsschool-server: " << e.what() << "\n";
        return 1;
    }
}
