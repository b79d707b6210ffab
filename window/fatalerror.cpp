#include "fatalerror.h"

#include "runtimeerror.h"

#include <QApplication>
#include <QMessageBox>
#include <QString>

namespace FatalError {

QString describe(const std::exception_ptr &error)
{
    try {
        std::rethrow_exception(error);
    } catch (const tavrelon::RuntimeError &runtimeError) {
        return QStringLiteral("Грешка %1 по време на работа:\n%2")
            .arg(runtimeError.number())
            .arg(QString::fromUtf8(runtimeError.what()));
    } catch (const std::exception &exception) {
        return QStringLiteral("Неочаквана грешка:\n%1").arg(QString::fromUtf8(exception.what()));
    } catch (...) {
        return QStringLiteral("Неочаквана грешка.");
    }
}

void report(QWidget *parent)
{
    const auto message =
        describe(std::current_exception()) + QStringLiteral("\n\nПрограмата ще бъде затворена.");
    QMessageBox::critical(parent, QStringLiteral("Tavrelon"), message);
    QCoreApplication::exit(exitStatus);
}

} // namespace FatalError
