#pragma once

#include <string>

// Whether a display server answers on its socket: a connection is opened and closed at once,
// nothing is said on it. The X check covers local displays (":0", "unix:0") and TCP ones
// ("host:0"), as libxcb reads DISPLAY; an X server that answers but refuses the client is not
// caught here.
namespace DisplaySockets {

bool unixSocketAnswers(const std::string &path, bool abstract = false);
bool tcpAnswers(const std::string &host, int port);
bool xServerAnswers(const std::string &display);

// The socket a Wayland client connects to for WAYLAND_DISPLAY (unset: "wayland-0"): an absolute
// name as it is, a relative one inside XDG_RUNTIME_DIR; empty when that is needed and unset.
std::string waylandSocketPath(const std::string &display, const std::string &runtimeDir);

} // namespace DisplaySockets
