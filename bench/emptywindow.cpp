// The yardstick for the start-up benchmark: a window of Tavrelon's size, flags, title and
// background colour with nothing in it, started exactly as Tavrelon starts.
#include "applicationsetup.h"
#include "qtdesign.h"

#include <QApplication>
#include <QPalette>
#include <QScreen>
#include <QWidget>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    ApplicationSetup::apply();

    QWidget window(nullptr,
                   Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                       Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    window.setWindowTitle(FormDesign::windowTitle());
    auto palette = window.palette();
    palette.setColor(QPalette::Window, FormDesign::toColor(FormDesign::windowBackground));
    window.setPalette(palette);
    window.setFixedSize(FormDesign::clientPixels());
    if (const auto *screen = window.screen()) {
        auto frame = window.frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        window.move(frame.topLeft());
    }
    window.show();
    return QApplication::exec();
}
