#include "applicationsetup.h"
#include "displaycheck.h"
#include "tavrelon.h"

#include "fatalerror.h"

#include <QApplication>

#if TAVRELON_EARLY_FONTCONFIG
#include <fontconfig/fontconfig.h>
#include <malloc.h>
#endif

#include <memory>
#include <thread>

int main(int argc, char *argv[])
{
    if (!DisplayCheck::reachable(argc, argv)) {
        return DisplayCheck::exitStatus;
    }

#if TAVRELON_EARLY_FONTCONFIG
    // Reading fontconfig's configuration (FcInit, dozens of XML files) is the largest single
    // cost of the first frame. Qt does it when the window first needs a font; done here on the
    // second core while Qt connects to the display, Qt finds it done. One malloc arena for all
    // threads, so the loader's allocations do not open a second one.
    mallopt(M_ARENA_MAX, 1);
    std::thread fontconfigLoader([] { FcInit(); });
#endif
    QApplication app(argc, argv);
    ApplicationSetup::apply();
#if TAVRELON_EARLY_FONTCONFIG
    fontconfigLoader.join();
#endif

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
