#include "applicationsetup.h"
#include "displaycheck.h"
#include "fatalerror.h"
#include "fontconfigsetup.h"
#include "tavrelon.h"

#include <QApplication>

#include <memory>

int main(int argc, char *argv[])
{
    if (!DisplayCheck::reachable(argc, argv)) {
        return DisplayCheck::exitStatus;
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
