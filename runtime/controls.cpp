#include "controls.h"

#include "runtimeerror.h"

namespace tavrelon {

void Controls::checkElement(const char *control, std::int16_t element, int count)
{
    if (element < 0 || element >= count) {
        throw RuntimeError::noSuchElement(control, element);
    }
}

} // namespace tavrelon
