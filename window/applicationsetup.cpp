#include "applicationsetup.h"

#include <QApplication>
#include <QIcon>

namespace ApplicationSetup {

void apply()
{
    QApplication::setApplicationName(QStringLiteral("Tavrelon"));
    QApplication::setApplicationVersion(QStringLiteral("1.00"));
    QApplication::setOrganizationDomain(QStringLiteral("example.org"));
    QApplication::setDesktopFileName(QStringLiteral(TAVRELON_APP_ID));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/tavrelon.png")));
}

} // namespace ApplicationSetup
