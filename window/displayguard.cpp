#include "displayguard.h"

#include <QString>

#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace DisplayGuard {

namespace {

Guard *active = nullptr;

std::vector<std::string> split(std::string_view text, char separator)
{
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (auto end = text.find(separator); end != std::string_view::npos;
         start = end + 1, end = text.find(separator, start)) {
        parts.emplace_back(text.substr(start, end - start));
    }
    parts.emplace_back(text.substr(start));
    return parts;
}

// The value of a command-line option Qt reads before it picks its platform ("-name VALUE" or
// "--name VALUE"; the last one counts), or nothing.
std::optional<std::string> option(const std::vector<std::string> &arguments, std::string_view name)
{
    std::optional<std::string> value;
    for (std::size_t i = 1; i + 1 < arguments.size(); ++i) {
        std::string_view argument = arguments[i];
        if (argument.starts_with("--")) {
            argument.remove_prefix(1);
        }
        if (argument.starts_with('-') && argument.substr(1) == name) {
            value = arguments[++i];
        }
    }
    return value;
}

// Unset and empty mean the same to Qt and to the display libraries.
std::string valueOf(const Environment &environment, const std::string &name)
{
    return environment(name).value_or(std::string());
}

bool mentions(const std::string &said, std::string_view words)
{
    return said.find(words) != std::string::npos;
}

std::string xcbProblem(const Environment &environment, const std::string &said)
{
    const auto display = valueOf(environment, "DISPLAY");
    if (display.empty()) {
        return valueOf(environment, "WAYLAND_DISPLAY").empty()
            ? "neither DISPLAY nor WAYLAND_DISPLAY is set"
            : "DISPLAY is not set";
    }
    // Xlib's words when the server turns the client away at the door.
    if (mentions(said, "Authorization required") || mentions(said, "No protocol specified") ||
        mentions(said, "authorization protocol")) {
        return "the X server on DISPLAY=" + display +
            " refused the connection for want of its authorisation (XAUTHORITY)";
    }
    return "no X server answers on DISPLAY=" + display;
}

std::string waylandProblem(const std::string &platform, const Environment &environment,
                           const std::string &said)
{
    if (mentions(said, "Could not find the Qt platform plugin \"" + platform + "\"")) {
        return "Qt's Wayland platform plugin (the package qt6-wayland) is not installed";
    }
    if (!valueOf(environment, "WAYLAND_SOCKET").empty()) {
        return "the Wayland socket handed over in WAYLAND_SOCKET does not answer";
    }
    auto display = valueOf(environment, "WAYLAND_DISPLAY");
    if (display.empty()) {
        display = "wayland-0";
    }
    std::string path = display;
    if (!display.starts_with('/')) {
        const auto runtimeDir = valueOf(environment, "XDG_RUNTIME_DIR");
        if (runtimeDir.empty()) {
            return "XDG_RUNTIME_DIR is not set, so the Wayland display \"" + display +
                "\" cannot be found";
        }
        path = runtimeDir + '/' + display;
    }
    return "no Wayland compositor answers on the Wayland display \"" + display + "\" (" + path +
        ")";
}

std::string problemOf(const std::string &platform, const Environment &environment,
                      const std::string &said)
{
    if (platform == "xcb") {
        return xcbProblem(environment, said);
    }
    if (platform.starts_with("wayland")) {
        return waylandProblem(platform, environment, said);
    }
    return "Qt's platform plugin \"" + platform + "\" could not start";
}

std::string advice(bool pluginMissing, const std::string &program)
{
    if (pluginMissing) {
        return "install qt6-wayland, or start it where DISPLAY names a running X server";
    }
    return "start it inside a running desktop session, or on a virtual display: xvfb-run " +
        (program.empty() ? std::string("tavrelon") : program);
}

} // namespace

std::vector<std::string> platforms(const std::vector<std::string> &arguments,
                                   const Environment &environment)
{
    auto names = option(arguments, "platform");
    if (!names) {
        names = valueOf(environment, "QT_QPA_PLATFORM");
    }
    if (names->empty()) {
        // Qt's order on Linux when nothing names a platform: Wayland first in a Wayland
        // session, then X11.
        const bool wayland = !valueOf(environment, "WAYLAND_DISPLAY").empty() ||
            valueOf(environment, "XDG_SESSION_TYPE") == "wayland";
        names = wayland ? "wayland;xcb" : "xcb";
    }
    std::vector<std::string> platforms;
    for (const auto &name : split(*names, ';')) {
        platforms.push_back(split(name, ':').front());
    }
    return platforms;
}

std::string sentence(const std::vector<std::string> &arguments, const Environment &environment,
                     const std::string &said)
{
    std::string problems;
    bool pluginMissing = false;
    for (const auto &platform : platforms(arguments, environment)) {
        const auto problem = problemOf(platform, environment, said);
        if (problems.find(problem) == std::string::npos) {
            problems += (problems.empty() ? "" : ", and ") + problem;
        }
        pluginMissing = pluginMissing || mentions(problem, "qt6-wayland");
    }
    const std::string program = arguments.empty() ? std::string() : arguments.front();
    return "tavrelon: cannot open a window because " + problems + "; " +
        advice(pluginMissing, program) + ".";
}

std::optional<std::string> processEnvironment(const std::string &name)
{
    const char *value = std::getenv(name.c_str());
    if (value == nullptr) {
        return std::nullopt;
    }
    return std::string(value);
}

Guard::Guard(int argc, char **argv)
    : m_arguments(argv, argv + argc)
{
    std::fflush(stderr);
    m_held = memfd_create("tavrelon-held-back", MFD_CLOEXEC);
    if (m_held >= 0) {
        m_savedStderr = fcntl(STDERR_FILENO, F_DUPFD_CLOEXEC, 3);
        if (m_savedStderr < 0 || dup2(m_held, STDERR_FILENO) < 0) {
            // Nothing is held back, but the fatal message is still turned into the sentence.
            ::close(m_held);
            m_held = -1;
        }
    }
    active = this;
    m_previous = qInstallMessageHandler(&Guard::handle);
}

Guard::~Guard()
{
    release();
}

void Guard::release()
{
    if (active != this) {
        return;
    }
    qInstallMessageHandler(m_previous);
    active = nullptr;
    const auto held = heldBack();
    restoreStderr();
    if (!held.empty()) {
        std::fwrite(held.data(), 1, held.size(), stderr);
    }
}

void Guard::handle(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (type == QtFatalMsg && active != nullptr) {
        active->fail(message);
    }
    if (active != nullptr && active->m_previous != nullptr) {
        active->m_previous(type, context, message);
    }
}

void Guard::fail(const QString &message)
{
    const auto said = heldBack() + '\n' + message.toStdString();
    restoreStderr();
    const auto text = sentence(m_arguments, processEnvironment, said);
    std::fprintf(stderr, "%s\n", text.c_str());
    std::fflush(stderr);
    // Qt may have started threads already (the D-Bus one, fontconfig's): end at once, without
    // running destructors under them.
    std::_Exit(exitStatus);
}

std::string Guard::heldBack() const
{
    std::string text;
    if (m_held < 0 || lseek(m_held, 0, SEEK_SET) != 0) {
        return text;
    }
    std::array<char, 4096> buffer {};
    for (ssize_t n = 0; (n = ::read(m_held, buffer.data(), buffer.size())) > 0;) {
        text.append(buffer.data(), static_cast<std::size_t>(n));
    }
    return text;
}

void Guard::restoreStderr()
{
    std::fflush(stderr);
    if (m_savedStderr >= 0) {
        dup2(m_savedStderr, STDERR_FILENO);
        ::close(m_savedStderr);
        m_savedStderr = -1;
    }
    if (m_held >= 0) {
        ::close(m_held);
        m_held = -1;
    }
}

} // namespace DisplayGuard
