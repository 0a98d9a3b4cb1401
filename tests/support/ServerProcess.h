#pragma once

#include <string>
#include <sys/types.h>
#include <vector>

// A hsschool-server of its own for a test: started on a free loopback port with a fresh
// database in a temporary folder holding the demo school. The server's log goes to a file in
// that folder. The process is killed and the folder removed when the object goes away.
class ServerProcess
{
public:
    // Serves the pictures of `picturesFolder` below /images/, or the demo school's when empty;
    // `options` are added to the server's command line.
    explicit ServerProcess(std::string picturesFolder = {}, std::vector<std::string> options = {});
    ~ServerProcess();
    ServerProcess(const ServerProcess &) = delete;
    ServerProcess &operator=(const ServerProcess &) = delete;

    // "http://127.0.0.1:PORT/school/services/schoolSvc"
    std::string endpoint() const;
    // "http://127.0.0.1:PORT"
    std::string baseUrl() const;
    std::string databasePath() const;
    std::string logPath() const;

    // Ends the server as an operator would (SIGTERM) and waits for it.
    void stop();
    // Starts the server again on the same database (not seeded again); the port may change.
    void restart();

private:
    void start(bool seed);

    std::string folder_;
    std::string picturesFolder_;
    std::vector<std::string> options_;
    std::string baseUrl_;
    pid_t pid_ = -1;
};
