#include "LoopbackPorts.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <stdexcept>
#include <sys/socket.h>
#include <unistd.h>

std::string loopbackUrl(int port)
{
    return "http://127.0.0.1:" + std::to_string(port) + "/school/services/schoolSvc";
}

int boundLoopbackSocket(int &port)
{
    const int bound = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (bound < 0 || ::bind(bound, reinterpret_cast<sockaddr *>(&address), length) != 0 ||
        ::getsockname(bound, reinterpret_cast<sockaddr *>(&address), &length) != 0)
        throw std::runtime_error("could not reserve a loopback port");
    port = ntohs(address.sin_port);
    return bound;
}

ClosedPort::ClosedPort() : m_socket(boundLoopbackSocket(m_port)) {}

ClosedPort::~ClosedPort()
{
    ::close(m_socket);
}

std::string ClosedPort::url() const
{
    return loopbackUrl(m_port);
}
