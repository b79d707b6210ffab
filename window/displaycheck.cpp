#include "displaycheck.h"

#include "displaysockets.h"

#include <QLibraryInfo>
#include <QString>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string_view>

namespace DisplayCheck {

namespace {

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

bool isSet(const System &system, const std::string &name)
{
    return system.variable(name).has_value();
}

std::string valueOf(const System &system, const std::string &name)
{
    return system.variable(name).value_or(std::string());
}

// Qt's order on Linux when nothing names a platform: Wayland first in a Wayland session, then
// X11 when DISPLAY is set, and X11 last in any case.
std::string defaultPlatforms(const System &system)
{
    const bool wayland =
        isSet(system, "WAYLAND_DISPLAY") || valueOf(system, "XDG_SESSION_TYPE") == "wayland";
    if (wayland) {
        return "wayland;xcb";
    }
    return "xcb";
}

std::string xcbProblem(const System &system)
{
    const auto display = system.variable("DISPLAY");
    if (!display || display->empty()) {
        return isSet(system, "WAYLAND_DISPLAY") ? "DISPLAY is not set"
                                                : "neither DISPLAY nor WAYLAND_DISPLAY is set";
    }
    if (system.xServerAnswers(*display)) {
        return {};
    }
    return "no X server answers on DISPLAY=" + *display;
}

std::string waylandProblem(const System &system)
{
    if (!system.waylandPluginInstalled()) {
        return "Qt's Wayland platform plugin (the package qt6-wayland) is not installed";
    }
    if (isSet(system, "WAYLAND_SOCKET")) {
        return {};
    }
    const auto display = system.variable("WAYLAND_DISPLAY").value_or("wayland-0");
    const auto path =
        DisplaySockets::waylandSocketPath(display, valueOf(system, "XDG_RUNTIME_DIR"));
    if (path.empty()) {
        return "XDG_RUNTIME_DIR is not set, so the Wayland display \"" + display +
            "\" cannot be found";
    }
    if (system.waylandAnswers(path)) {
        return {};
    }
    return "no Wayland compositor answers on the Wayland display \"" + display + "\" (" + path +
        ")";
}

// Empty when the platform can open a window, or is not one this check knows.
std::string problemOf(const std::string &platform, const System &system)
{
    if (platform == "xcb") {
        return xcbProblem(system);
    }
    if (platform.starts_with("wayland")) {
        return waylandProblem(system);
    }
    return {};
}

std::string advice(bool pluginMissing)
{
    if (pluginMissing) {
        return "install qt6-wayland, or start it where DISPLAY names a running X server";
    }
    return "start it inside a running desktop session, or on a virtual display: xvfb-run tavrelon";
}

std::optional<std::string> environment(const std::string &name)
{
    const char *value = std::getenv(name.c_str());
    if (value == nullptr) {
        return std::nullopt;
    }
    return std::string(value);
}

// Where Qt looks for platform plugins: its configured plugin folder, QT_PLUGIN_PATH, the
// program's own folder and QT_QPA_PLATFORM_PLUGIN_PATH.
bool waylandPluginInstalled()
{
    std::vector<std::filesystem::path> folders = {
        QLibraryInfo::path(QLibraryInfo::PluginsPath).toStdString() + "/platforms"};
    for (const auto &folder : split(environment("QT_PLUGIN_PATH").value_or(""), ':')) {
        folders.emplace_back(folder + "/platforms");
    }
    folders.emplace_back(environment("QT_QPA_PLATFORM_PLUGIN_PATH").value_or(""));
    std::error_code error;
    folders.emplace_back(std::filesystem::read_symlink("/proc/self/exe", error).parent_path() /
                         "platforms");
    for (const auto &folder : folders) {
        for (const auto &entry : std::filesystem::directory_iterator(folder, error)) {
            const auto name = entry.path().filename().string();
            if (name.starts_with("libqwayland") && name.ends_with(".so")) {
                return true;
            }
        }
    }
    return false;
}

} // namespace

std::vector<std::string> platforms(const std::vector<std::string> &arguments, const System &system)
{
    auto names = option(arguments, "platform");
    if (!names) {
        const auto variable = valueOf(system, "QT_QPA_PLATFORM");
        names = variable.empty() ? defaultPlatforms(system) : variable;
    }
    std::vector<std::string> platforms;
    for (const auto &name : split(*names, ';')) {
        platforms.push_back(split(name, ':').front());
    }
    return platforms;
}

std::string problem(const std::vector<std::string> &arguments, const System &system)
{
    std::string problems;
    bool pluginMissing = false;
    for (const auto &platform : platforms(arguments, system)) {
        const auto problem = problemOf(platform, system);
        if (problem.empty()) {
            return {};
        }
        if (problems.find(problem) == std::string::npos) {
            problems += (problems.empty() ? "" : ", and ") + problem;
        }
        pluginMissing = pluginMissing || problem.find("qt6-wayland") != std::string::npos;
    }
    return "tavrelon: cannot open a window because " + problems + "; " + advice(pluginMissing) +
        ".";
}

System localSystem()
{
    return {environment,
            [](const std::string &path) { return DisplaySockets::unixSocketAnswers(path); },
            DisplaySockets::xServerAnswers, waylandPluginInstalled};
}

bool reachable(int argc, char **argv)
{
    const std::vector<std::string> arguments(argv, argv + argc);
    const auto sentence = problem(arguments, localSystem());
    if (sentence.empty()) {
        return true;
    }
    std::fprintf(stderr, "%s\n", sentence.c_str());
    return false;
}

} // namespace DisplayCheck
