#include "errormessage.h"

#include "runtimeerror.h"

namespace FormDesign {

std::string describeError(const std::exception_ptr &error)
{
    try {
        std::rethrow_exception(error);
    } catch (const tavrelon::RuntimeError &runtimeError) {
        std::string message = "Грешка ";
        message.append(std::to_string(runtimeError.number()))
            .append(" по време на работа:\n")
            .append(runtimeError.what());
        return message;
    } catch (const std::exception &exception) {
        std::string message = "Неочаквана грешка:\n";
        message.append(exception.what());
        return message;
    } catch (...) {
        return "Неочаквана грешка.";
    }
}

std::string fatalErrorMessage(const std::exception_ptr &error)
{
    auto message = describeError(error);
    message.append("\n\nПрограмата ще бъде затворена.");
    return message;
}

} // namespace FormDesign
