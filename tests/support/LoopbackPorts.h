#pragma once

#include <string>

// A TCP socket bound to a free loopback port, which it stores in port.
int boundLoopbackSocket(int &port);
// The service address at that port.
std::string loopbackUrl(int port);

// A loopback port that is bound but not listening: connecting to it is refused at once. The port
// stays reserved for as long as the object lives.
class ClosedPort
{
public:
    ClosedPort();
    ~ClosedPort();
    ClosedPort(const ClosedPort &) = delete;
    ClosedPort &operator=(const ClosedPort &) = delete;

    std::string url() const;

private:
    int m_port = 0;
    int m_socket;
};
