#include "runtimeerror.h"

namespace tavrelon {

RuntimeError::RuntimeError(int number, const std::string &message)
    : std::runtime_error(message)
    , m_number(number)
{ }

RuntimeError RuntimeError::overflow()
{
    return {Overflow, "Overflow"};
}

RuntimeError RuntimeError::noSuchElement(const std::string &control, int element)
{
    return {NoSuchElement,
            "Control array element " + control + "(" + std::to_string(element) +
                ") does not exist"};
}

RuntimeError RuntimeError::invalidRow(const std::string &control, int row)
{
    return {InvalidRow, "Invalid row " + std::to_string(row) + " of " + control};
}

std::string RuntimeError::describe(const std::exception_ptr &error)
{
    try {
        std::rethrow_exception(error);
    } catch (const RuntimeError &runtimeError) {
        return "Грешка " + std::to_string(runtimeError.number()) + " по време на работа:\n" +
            runtimeError.what();
    } catch (const std::exception &exception) {
        return std::string("Неочаквана грешка:\n") + exception.what();
    } catch (...) {
        return "Неочаквана грешка.";
    }
}

} // namespace tavrelon
