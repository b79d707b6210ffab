#include "fatalerror.h"

#include "errormessage.h"
#include "runtimeerror.h"

#include <QApplication>
#include <QMessageBox>
#include <QString>

namespace FatalError {

QString describe(const std::exception_ptr &error)
{
    return QString::fromStdString(tavrelon::RuntimeError::describe(error));
}

void report(QWidget *parent)
{
    const auto message =
        QString::fromStdString(FormDesign::fatalErrorMessage(std::current_exception()));
    QMessageBox::critical(parent, QString::fromUtf8(FormDesign::fatalErrorTitle), message);
    QCoreApplication::exit(exitStatus);
}

} // namespace FatalError
