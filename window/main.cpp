#include "applicationsetup.h"
#include "tavrelon.h"

#include "fatalerror.h"
#include "fontconfigsetup.h"

#include <QApplication>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace {

// Qt aborts when its platform cannot reach a display; say what is wrong instead.
bool displayReachable()
{
    const auto *platform = std::getenv("QT_QPA_PLATFORM");
    if (platform != nullptr && *platform != '\0' && std::strncmp(platform, "xcb", 3) != 0 &&
        std::strncmp(platform, "wayland", 7) != 0) {
        return true;
    }
    const auto set = [](const char *name) {
        const auto *value = std::getenv(name);
        return value != nullptr && *value != '\0';
    };
    return set("DISPLAY") || set("WAYLAND_DISPLAY");
}

} // namespace

int main(int argc, char *argv[])
{
    if (!displayReachable()) {
        std::fputs("tavrelon: no display to open a window on (DISPLAY and WAYLAND_DISPLAY are "
                   "unset).\nRun it from a desktop session, or under a virtual one: "
                   "xvfb-run tavrelon\n",
                   stderr);
        return 2;
    }

    FontconfigSetup::start();
    QApplication app(argc, argv);
    ApplicationSetup::apply();
    FontconfigSetup::finish();

    // The window's own tables cannot fail to build, but an error there must not slip past the
    // message box either.
    std::unique_ptr<Tavrelon> window;
    try {
        window = std::make_unique<Tavrelon>();
    } catch (...) {
        FatalError::report(nullptr);
        return FatalError::exitStatus;
    }
    window->centreOnScreen();
    window->show();
    return QApplication::exec();
}
