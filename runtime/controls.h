#pragma once

#include <cstdint>
#include <string>

namespace tavrelon {

// The window's controls as the form's code sees them: the properties it reads and writes, and
// no others. Controls are addressed as elements of their control arrays (List1(0), Option1(k),
// Text1(0)); an element number with no element is a RuntimeError naming it. Texts are UTF-8.
class Controls
{
public:
    virtual ~Controls() = default;

    // List1(element): ListIndex (-1 when no row is selected), ListCount, and List at a row.
    virtual std::int16_t listIndex(std::int16_t element) = 0;
    virtual std::int16_t listCount(std::int16_t element) = 0;
    virtual std::string list(std::int16_t element, std::int16_t row) = 0;

    // Option1(element): Caption, and Value. Setting Value to true checks the option, clears the
    // others of its group and, at least when it was not checked before, delivers its Click
    // before the call returns.
    virtual std::string optionCaption(std::int16_t element) = 0;
    virtual bool optionValue(std::int16_t element) = 0;
    virtual void setOptionValue(std::int16_t element, bool value) = 0;

    // Text1(element): Text reads back exactly what was last written; writing replaces it all.
    virtual std::string text(std::int16_t element) = 0;
    virtual void setText(std::int16_t element, const std::string &text) = 0;

protected:
    // Throws the RuntimeError for a missing element unless 0 <= element < count.
    static void checkElement(const char *control, std::int16_t element, int count);
};

} // namespace tavrelon
