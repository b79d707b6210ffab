#include "displayguard.h"

#include <QtGlobal>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>

using DisplayGuard::platforms;
using DisplayGuard::sentence;

namespace {

// An environment made of a map.
struct FakeEnvironment
{
    std::map<std::string, std::string> variables;

    DisplayGuard::Environment get() const
    {
        return [this](const std::string &name) -> std::optional<std::string> {
            const auto found = variables.find(name);
            if (found == variables.end()) {
                return std::nullopt;
            }
            return found->second;
        };
    }
};

const std::vector<std::string> noArguments = {"tavrelon"};

TEST(DisplayGuardPlatforms, followQtsOrder)
{
    FakeEnvironment environment;
    EXPECT_EQ(platforms(noArguments, environment.get()), std::vector<std::string> {"xcb"});
    environment.variables["DISPLAY"] = ":0";
    EXPECT_EQ(platforms(noArguments, environment.get()), std::vector<std::string> {"xcb"});
    environment.variables["WAYLAND_DISPLAY"] = "wayland-0";
    EXPECT_EQ(platforms(noArguments, environment.get()),
              (std::vector<std::string> {"wayland", "xcb"}));
    environment.variables.erase("WAYLAND_DISPLAY");
    environment.variables["XDG_SESSION_TYPE"] = "wayland";
    EXPECT_EQ(platforms(noArguments, environment.get()),
              (std::vector<std::string> {"wayland", "xcb"}));
}

TEST(DisplayGuardPlatforms, commandLineBeatsVariableBeatsDefault)
{
    FakeEnvironment environment;
    environment.variables["WAYLAND_DISPLAY"] = "wayland-0";
    environment.variables["QT_QPA_PLATFORM"] = "offscreen:fontengine=freetype;xcb";
    EXPECT_EQ(platforms(noArguments, environment.get()),
              (std::vector<std::string> {"offscreen", "xcb"}));
    EXPECT_EQ(platforms({"tavrelon", "-platform", "minimal", "--platform", "wayland-egl"},
                        environment.get()),
              std::vector<std::string> {"wayland-egl"});
    // A trailing -platform without a value is not an option Qt reads.
    EXPECT_EQ(platforms({"tavrelon", "-platform"}, environment.get()),
              (std::vector<std::string> {"offscreen", "xcb"}));
    environment.variables["QT_QPA_PLATFORM"] = "";
    EXPECT_EQ(platforms(noArguments, environment.get()),
              (std::vector<std::string> {"wayland", "xcb"}));
}

TEST(DisplayGuardSentence, namesEveryUnreachableDisplayInOneSentence)
{
    FakeEnvironment environment;
    EXPECT_EQ(sentence(noArguments, environment.get(), ""),
              "tavrelon: cannot open a window because neither DISPLAY nor WAYLAND_DISPLAY is "
              "set; start it inside a running desktop session, or on a virtual display: "
              "xvfb-run tavrelon.");

    environment.variables = {{"WAYLAND_DISPLAY", "dead"}, {"XDG_RUNTIME_DIR", "/run/user/7"}};
    EXPECT_EQ(
        sentence(noArguments, environment.get(), ""),
        "tavrelon: cannot open a window because no Wayland compositor answers on the Wayland "
        "display \"dead\" (/run/user/7/dead), and DISPLAY is not set; start it inside a running "
        "desktop session, or on a virtual display: xvfb-run tavrelon.");

    environment.variables["DISPLAY"] = ":77";
    const auto both = sentence(noArguments, environment.get(), "");
    EXPECT_NE(both.find("(/run/user/7/dead), and no X server answers on DISPLAY=:77;"),
              std::string::npos)
        << both;
    EXPECT_EQ(both.find('\n'), std::string::npos);

    environment.variables = {{"DISPLAY", ":77"}, {"WAYLAND_DISPLAY", "/elsewhere/socket"}};
    const auto onlyX = sentence({"tavrelon", "-platform", "xcb"}, environment.get(), "");
    EXPECT_NE(onlyX.find("no X server answers on DISPLAY=:77;"), std::string::npos) << onlyX;
    EXPECT_EQ(onlyX.find("Wayland"), std::string::npos) << onlyX;
    // An absolute Wayland display is its own socket path.
    EXPECT_NE(sentence(noArguments, environment.get(), "")
                  .find("\"/elsewhere/socket\" (/elsewhere/socket)"),
              std::string::npos);
}

TEST(DisplayGuardSentence, readsWhatQtAndXlibSaid)
{
    FakeEnvironment environment;
    environment.variables = {{"WAYLAND_DISPLAY", "wayland-0"}, {"XDG_RUNTIME_DIR", "/run/user/7"}};
    EXPECT_EQ(
        sentence(noArguments, environment.get(),
                 "qt.qpa.plugin: Could not find the Qt platform plugin \"wayland\" in \"\"\n"),
        "tavrelon: cannot open a window because Qt's Wayland platform plugin (the package "
        "qt6-wayland) is not installed, and DISPLAY is not set; install qt6-wayland, or start it "
        "where DISPLAY names a running X server.");

    environment.variables = {{"DISPLAY", ":5"}};
    for (const auto *said : {"Authorization required, but no authorization protocol specified\n",
                             "No protocol specified\n"}) {
        const auto refused = sentence(noArguments, environment.get(), said);
        EXPECT_NE(refused.find("the X server on DISPLAY=:5 refused the connection"),
                  std::string::npos)
            << refused;
    }
    EXPECT_NE(
        sentence(noArguments, environment.get(), "qt.qpa.xcb: could not connect to display :5")
            .find("no X server answers on DISPLAY=:5"),
        std::string::npos);
}

TEST(DisplayGuardSentence, waylandWithoutItsRuntimeFolderOrWithAHandedOverSocket)
{
    FakeEnvironment environment;
    environment.variables = {{"WAYLAND_DISPLAY", "wayland-0"}, {"XDG_RUNTIME_DIR", ""}};
    EXPECT_NE(sentence(noArguments, environment.get(), "").find("XDG_RUNTIME_DIR is not set"),
              std::string::npos);
    environment.variables["WAYLAND_SOCKET"] = "3";
    EXPECT_NE(sentence(noArguments, environment.get(), "").find("WAYLAND_SOCKET"),
              std::string::npos);
    // Another platform that fails is named as such.
    EXPECT_NE(sentence({"tavrelon", "-platform", "eglfs"}, environment.get(), "")
                  .find("Qt's platform plugin \"eglfs\" could not start"),
              std::string::npos);
}

TEST(DisplayGuardSentence, adviceNamesTheProgramAsItWasStarted)
{
    FakeEnvironment environment;
    for (const std::string program : {"build/window/tavrelon", "/usr/bin/tavrelon", "tavrelon"}) {
        const auto text = sentence({program}, environment.get(), "");
        EXPECT_TRUE(text.ends_with(": xvfb-run " + program + ".")) << text;
    }
}

// What the guard holds back reaches stderr, unchanged and in order, once Qt has started.
TEST(DisplayGuardGuard, handsOnWhatItHeldBackAfterAStart)
{
    std::string path = "/tmp/tst_displayguard-XXXXXX";
    const int file = mkstemp(path.data());
    ASSERT_GE(file, 0);
    std::fflush(stderr);
    const int realStderr = dup(STDERR_FILENO);
    dup2(file, STDERR_FILENO);

    const auto size = [&] {
        return lseek(file, 0, SEEK_END);
    };
    std::string program = "tavrelon";
    std::array<char *, 2> argv {program.data(), nullptr};
    {
        DisplayGuard::Guard guard(1, argv.data());
        std::fputs("from a library\n", stderr);
        qWarning("from Qt");
        EXPECT_EQ(size(), 0) << "nothing is written while Qt starts";
        guard.release();
        EXPECT_GT(size(), 0);
        qWarning("after the start");
    }

    std::fflush(stderr);
    dup2(realStderr, STDERR_FILENO);
    close(realStderr);
    close(file);
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    std::remove(path.c_str());
    const auto written = text.str();
    const auto library = written.find("from a library");
    const auto qt = written.find("from Qt");
    const auto after = written.find("after the start");
    EXPECT_NE(library, std::string::npos) << written;
    EXPECT_NE(qt, std::string::npos) << written;
    EXPECT_LT(library, qt);
    EXPECT_NE(after, std::string::npos) << written;
    EXPECT_LT(qt, after);
}

} // namespace
