#include "fatalerror.h"

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
        describe(std::current_exception()) + QStringLiteral("\n\nПрограмата ще бъде затворена.");
    QMessageBox::critical(parent, QStringLiteral("Tavrelon"), message);
    QCoreApplication::exit(exitStatus);
}

} // namespace FatalError
