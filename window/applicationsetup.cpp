#include "applicationsetup.h"

#include <QApplication>
#include <QIcon>

namespace ApplicationSetup {

void apply()
{
    QApplication::setApplicationName(QStringLiteral("Tavrelon"));
    QApplication::setApplicationVersion(QStringLiteral(TAVRELON_VERSION));
    QApplication::setOrganizationDomain(QStringLiteral("example.org"));
    QApplication::setDesktopFileName(QStringLiteral(TAVRELON_APP_ID));
    // 32 px for ordinary screens, 64 px for screens scaled by 2.
    QIcon icon(QStringLiteral(":/icons/tavrelon.png"));
    icon.addFile(QStringLiteral(":/icons/tavrelon-64.png"));
    QApplication::setWindowIcon(icon);
}

} // namespace ApplicationSetup
