#include "fatalerror.h"

#include "errormessage.h"

#include <QApplication>
#include <QMessageBox>
#include <QString>

namespace FatalError {

void report(QWidget *parent, const std::exception_ptr &error)
{
    const auto message = QString::fromStdString(FormDesign::fatalErrorMessage(error));
    QMessageBox::critical(parent, QString::fromUtf8(FormDesign::fatalErrorTitle), message);
    QCoreApplication::exit(exitStatus);
}

} // namespace FatalError
