#include "fatalerror.h"

#include "errormessage.h"

#include <QApplication>
#include <QMessageBox>
#include <QString>

namespace FatalError {

void report(QWidget *parent)
{
    const auto message =
        QString::fromStdString(FormDesign::fatalErrorMessage(std::current_exception()));
    QMessageBox::critical(parent, QString::fromUtf8(FormDesign::fatalErrorTitle), message);
    QCoreApplication::exit(exitStatus);
}

} // namespace FatalError
