#include "errormessage.h"

#include "runtimeerror.h"

namespace FormDesign {

std::string describeError(const std::exception_ptr &error)
{
    try {
        std::rethrow_exception(error);
    } catch (const tavrelon::RuntimeError &runtimeError) {
        return "Грешка " + std::to_string(runtimeError.number()) + " по време на работа:\n" +
            runtimeError.what();
    } catch (const std::exception &exception) {
        return std::string("Неочаквана грешка:\n") + exception.what();
    } catch (...) {
        return "Неочаквана грешка.";
    }
}

std::string fatalErrorMessage(const std::exception_ptr &error)
{
    return describeError(error) + "\n\nПрограмата ще бъде затворена.";
}

} // namespace FormDesign
