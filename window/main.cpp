#include "applicationsetup.h"
#include "displayguard.h"
#include "fatalerror.h"
#include "fontconfigsetup.h"
#include "tavrelon.h"

#include <QApplication>

#include <memory>

int main(int argc, char *argv[])
{
    FontconfigSetup::start();
    // Without a display Qt would abort: the guard ends the program with one sentence instead.
    DisplayGuard::Guard guard(argc, argv);
    QApplication app(argc, argv);
    guard.release();
    ApplicationSetup::apply();
    FontconfigSetup::finish();

    // The window's own tables cannot fail to build, but an error there must not slip past the
    // message box either.
    std::unique_ptr<Tavrelon> window;
    try {
        window = std::make_unique<Tavrelon>();
    } catch (...) {
        FatalError::report(nullptr, std::current_exception());
        return FatalError::exitStatus;
    }
    window->centreOnScreen();
    window->show();
    return QApplication::exec();
}
