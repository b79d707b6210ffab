#include "displaysockets.h"

#include <netdb.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstddef>
#include <cstring>
#include <string_view>

namespace DisplaySockets {

namespace {

// Closes the socket however the connection attempt ends.
class Socket
{
public:
    Socket(int domain, int type, int protocol)
        : m_fd(::socket(domain, type | SOCK_CLOEXEC, protocol))
    { }
    ~Socket()
    {
        if (m_fd >= 0) {
            ::close(m_fd);
        }
    }
    Socket(const Socket &) = delete;
    Socket &operator=(const Socket &) = delete;

    bool connects(const sockaddr *address, socklen_t length) const
    {
        return m_fd >= 0 && ::connect(m_fd, address, length) == 0;
    }

private:
    int m_fd;
};

struct XDisplay
{
    std::string protocol;
    std::string host;
    int number = -1;
};

// "[protocol/][host]:number[.screen]", as libxcb parses DISPLAY.
XDisplay parseXDisplay(std::string_view display)
{
    XDisplay parsed;
    const auto colon = display.rfind(':');
    if (colon == std::string_view::npos || colon + 1 >= display.size()) {
        return parsed;
    }
    auto host = display.substr(0, colon);
    if (const auto slash = host.find('/'); slash != std::string_view::npos) {
        parsed.protocol = host.substr(0, slash);
        host.remove_prefix(slash + 1);
    }
    parsed.host = host;
    int number = 0;
    auto rest = display.substr(colon + 1);
    std::size_t digits = 0;
    for (; digits < rest.size() && rest[digits] >= '0' && rest[digits] <= '9' && number < 100000;
         ++digits) {
        number = number * 10 + (rest[digits] - '0');
    }
    if (digits > 0 && (digits == rest.size() || rest[digits] == '.')) {
        parsed.number = number;
    }
    return parsed;
}

constexpr int xTcpPort = 6000;

} // namespace

bool unixSocketAnswers(const std::string &path, bool abstract)
{
    sockaddr_un address {};
    address.sun_family = AF_UNIX;
    const auto offset = abstract ? 1 : 0;
    if (path.empty() || path.size() + offset >= sizeof address.sun_path) {
        return false;
    }
    std::memcpy(address.sun_path + offset, path.data(), path.size());
    const auto length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + offset +
                                               path.size() + (abstract ? 0 : 1));
    const Socket socket(AF_UNIX, SOCK_STREAM, 0);
    return socket.connects(reinterpret_cast<const sockaddr *>(&address), length);
}

bool tcpAnswers(const std::string &host, int port)
{
    addrinfo hints {};
    hints.ai_socktype = SOCK_STREAM;
    addrinfo *addresses = nullptr;
    if (::getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &addresses) != 0) {
        return false;
    }
    bool answered = false;
    for (const auto *address = addresses; address != nullptr && !answered;
         address = address->ai_next) {
        const Socket socket(address->ai_family, address->ai_socktype, address->ai_protocol);
        answered = socket.connects(address->ai_addr, address->ai_addrlen);
    }
    ::freeaddrinfo(addresses);
    return answered;
}

bool xServerAnswers(const std::string &display)
{
    const auto parsed = parseXDisplay(display);
    if (parsed.number < 0) {
        return false;
    }
    const bool local = parsed.host.empty() || parsed.host == "unix" || parsed.protocol == "unix";
    if (local) {
        const auto path = "/tmp/.X11-unix/X" + std::to_string(parsed.number);
        if (unixSocketAnswers(path, true) || unixSocketAnswers(path)) {
            return true;
        }
        // libxcb tries TCP on localhost last when neither host nor protocol was named.
        return parsed.host.empty() && parsed.protocol.empty() &&
            tcpAnswers("localhost", xTcpPort + parsed.number);
    }
    return tcpAnswers(parsed.host, xTcpPort + parsed.number);
}

std::string waylandSocketPath(const std::string &display, const std::string &runtimeDir)
{
    if (!display.empty() && display.front() == '/') {
        return display;
    }
    if (runtimeDir.empty()) {
        return {};
    }
    return runtimeDir + '/' + display;
}

} // namespace DisplaySockets
