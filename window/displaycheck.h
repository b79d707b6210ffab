#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

// Qt aborts when no platform plugin can reach its display. Before QApplication exists, this
// works out the platforms Qt is about to try, in Qt's own order, and whether any of them can
// reach a display; if none can, it names what is wrong and what to do, in one sentence.
namespace DisplayCheck {

// The exit status of a program that found no display to open its window on.
inline constexpr int exitStatus = 2;

// What the check asks of the machine; the tests replace it.
struct System
{
    // The value of an environment variable, nothing when it is unset.
    std::function<std::optional<std::string>(const std::string &name)> variable;
    // Whether a Wayland compositor accepts a connection on this socket path.
    std::function<bool(const std::string &socketPath)> waylandAnswers;
    // Whether an X server accepts a connection for this display name (":0", "host:1.0").
    std::function<bool(const std::string &display)> xServerAnswers;
    // Whether Qt's Wayland platform plugin is installed where Qt looks for it.
    std::function<bool()> waylandPluginInstalled;
};

// The platform plugins Qt tries, in order, without their options: from -platform (or
// --platform) on the command line, else QT_QPA_PLATFORM, else Qt's default order on Linux.
std::vector<std::string> platforms(const std::vector<std::string> &arguments, const System &system);

// Empty when one of those platforms can open a window (or is one this check does not know,
// such as offscreen); otherwise the sentence that says what is wrong and what to do.
std::string problem(const std::vector<std::string> &arguments, const System &system);

// The machine itself.
System localSystem();

// Checks the real machine for this command line; when no platform can reach a display, prints
// the sentence to stderr and returns false.
bool reachable(int argc, char **argv);

} // namespace DisplayCheck
