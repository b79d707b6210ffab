#include "displaycheck.h"
#include "displaysockets.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

using DisplayCheck::platforms;
using DisplayCheck::problem;

namespace {

// A machine made of environment variables, the sockets that answer and the plugin's presence.
struct FakeMachine
{
    std::map<std::string, std::string> variables;
    std::set<std::string> answering;
    bool waylandPlugin = true;

    DisplayCheck::System system() const
    {
        return {[this](const std::string &name) -> std::optional<std::string> {
                    const auto found = variables.find(name);
                    if (found == variables.end()) {
                        return std::nullopt;
                    }
                    return found->second;
                },
                [this](const std::string &path) { return answering.contains(path); },
                [this](const std::string &display) { return answering.contains(display); },
                [this] {
                    return waylandPlugin;
                }};
    }
};

const std::vector<std::string> noArguments = {"tavrelon"};

TEST(DisplayCheckPlatforms, followQtsOrder)
{
    FakeMachine machine;
    EXPECT_EQ(platforms(noArguments, machine.system()), std::vector<std::string> {"xcb"});
    machine.variables["DISPLAY"] = ":0";
    EXPECT_EQ(platforms(noArguments, machine.system()), std::vector<std::string> {"xcb"});
    machine.variables["WAYLAND_DISPLAY"] = "wayland-0";
    EXPECT_EQ(platforms(noArguments, machine.system()),
              (std::vector<std::string> {"wayland", "xcb"}));
    machine.variables.erase("WAYLAND_DISPLAY");
    machine.variables["XDG_SESSION_TYPE"] = "wayland";
    EXPECT_EQ(platforms(noArguments, machine.system()),
              (std::vector<std::string> {"wayland", "xcb"}));
}

TEST(DisplayCheckPlatforms, commandLineBeatsVariableBeatsDefault)
{
    FakeMachine machine;
    machine.variables["WAYLAND_DISPLAY"] = "wayland-0";
    machine.variables["QT_QPA_PLATFORM"] = "offscreen:fontengine=freetype;xcb";
    EXPECT_EQ(platforms(noArguments, machine.system()),
              (std::vector<std::string> {"offscreen", "xcb"}));
    EXPECT_EQ(platforms({"tavrelon", "-platform", "minimal", "--platform", "wayland-egl"},
                        machine.system()),
              std::vector<std::string> {"wayland-egl"});
    // A trailing -platform without a value is not an option Qt reads.
    EXPECT_EQ(platforms({"tavrelon", "-platform"}, machine.system()),
              (std::vector<std::string> {"offscreen", "xcb"}));
    machine.variables["QT_QPA_PLATFORM"] = "";
    EXPECT_EQ(platforms(noArguments, machine.system()),
              (std::vector<std::string> {"wayland", "xcb"}));
}

TEST(DisplayCheckProblem, noneWhileOnePlatformReachesItsDisplay)
{
    FakeMachine machine;
    machine.variables = {
        {"DISPLAY", ":1"}, {"WAYLAND_DISPLAY", "dead"}, {"XDG_RUNTIME_DIR", "/run/user/7"}};
    machine.answering = {":1"};
    EXPECT_EQ(problem(noArguments, machine.system()), "") << "Qt falls back to X11";
    machine.answering = {"/run/user/7/dead"};
    EXPECT_EQ(problem(noArguments, machine.system()), "");
    machine.variables["WAYLAND_DISPLAY"] = "/elsewhere/socket";
    machine.answering = {"/elsewhere/socket"};
    EXPECT_EQ(problem(noArguments, machine.system()), "");
    // Platforms this check does not know are left to Qt: the tests' offscreen among them.
    machine.answering.clear();
    EXPECT_EQ(problem({"tavrelon", "-platform", "offscreen"}, machine.system()), "");
    machine.variables["QT_QPA_PLATFORM"] = "minimal";
    EXPECT_EQ(problem(noArguments, machine.system()), "");
}

TEST(DisplayCheckProblem, namesEveryUnreachableDisplayInOneSentence)
{
    FakeMachine machine;
    const auto nothingSet = problem(noArguments, machine.system());
    EXPECT_EQ(nothingSet,
              "tavrelon: cannot open a window because neither DISPLAY nor WAYLAND_DISPLAY is "
              "set; start it inside a running desktop session, or on a virtual display: "
              "xvfb-run tavrelon.");

    machine.variables = {{"WAYLAND_DISPLAY", "dead"}, {"XDG_RUNTIME_DIR", "/run/user/7"}};
    EXPECT_EQ(
        problem(noArguments, machine.system()),
        "tavrelon: cannot open a window because no Wayland compositor answers on the Wayland "
        "display \"dead\" (/run/user/7/dead), and DISPLAY is not set; start it inside a running "
        "desktop session, or on a virtual display: xvfb-run tavrelon.");

    machine.variables["DISPLAY"] = ":77";
    const auto both = problem(noArguments, machine.system());
    EXPECT_NE(both.find("(/run/user/7/dead), and no X server answers on DISPLAY=:77;"),
              std::string::npos)
        << both;
    EXPECT_EQ(both.find('\n'), std::string::npos);

    machine.variables = {{"DISPLAY", ":77"}};
    EXPECT_NE(
        problem({"tavrelon", "-platform", "xcb"}, machine.system()).find("no X server answers"),
        std::string::npos);
}

TEST(DisplayCheckProblem, waylandWithoutItsPluginOrRuntimeFolder)
{
    FakeMachine machine;
    machine.variables = {{"WAYLAND_DISPLAY", "wayland-0"}, {"XDG_RUNTIME_DIR", "/run/user/7"}};
    machine.answering = {"/run/user/7/wayland-0"};
    machine.waylandPlugin = false;
    EXPECT_EQ(
        problem(noArguments, machine.system()),
        "tavrelon: cannot open a window because Qt's Wayland platform plugin (the package "
        "qt6-wayland) is not installed, and DISPLAY is not set; install qt6-wayland, or start it "
        "where DISPLAY names a running X server.");

    machine.waylandPlugin = true;
    machine.variables.erase("XDG_RUNTIME_DIR");
    EXPECT_NE(problem(noArguments, machine.system()).find("XDG_RUNTIME_DIR is not set"),
              std::string::npos);
    // A socket handed over by the parent needs neither.
    machine.variables["WAYLAND_SOCKET"] = "3";
    EXPECT_EQ(problem(noArguments, machine.system()), "");
}

TEST(DisplaySockets, waylandSocketPath)
{
    EXPECT_EQ(DisplaySockets::waylandSocketPath("wayland-1", "/run/user/7"),
              "/run/user/7/wayland-1");
    EXPECT_EQ(DisplaySockets::waylandSocketPath("/tmp/socket", ""), "/tmp/socket");
    EXPECT_EQ(DisplaySockets::waylandSocketPath("wayland-1", ""), "");
}

TEST(DisplaySockets, malformedOrDeadXDisplaysDoNotAnswer)
{
    for (const auto *display : {"", "foo", ":", ":x", ":1x", "unix:99999999999"}) {
        EXPECT_FALSE(DisplaySockets::xServerAnswers(display)) << display;
    }
    EXPECT_FALSE(DisplaySockets::unixSocketAnswers("/nonexistent/socket"));
    EXPECT_FALSE(DisplaySockets::unixSocketAnswers(""));
    EXPECT_FALSE(DisplaySockets::unixSocketAnswers(std::string(200, 'x')));
}

} // namespace
