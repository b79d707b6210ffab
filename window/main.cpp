#include "tavrelon.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    Tavrelon window;
    window.show();
    return app.exec();
}
