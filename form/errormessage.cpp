#include "errormessage.h"

#include "runtimeerror.h"

namespace FormDesign {

std::string fatalErrorMessage(const std::exception_ptr &error)
{
    auto message = tavrelon::RuntimeError::describe(error);
    message.append("\n\nПрограмата ще бъде затворена.");
    return message;
}

} // namespace FormDesign
