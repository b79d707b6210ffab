#include "formcontrols.h"

#include "catalogue.h"

namespace tavrelon {

namespace {

constexpr std::int16_t namesList = 0;
constexpr int listElements = 2;
constexpr int textElements = 1;

} // namespace

FormControls::FormControls(const Catalogue &catalogue)
    : m_catalogue(catalogue)
{ }

std::int16_t FormControls::listIndex(std::int16_t element)
{
    checkElement("List1", element, listElements);
    // The hidden list never has a selection of its own.
    return element == namesList ? selectedName() : std::int16_t {-1};
}

std::int16_t FormControls::listCount(std::int16_t element)
{
    checkElement("List1", element, listElements);
    return element == namesList ? nameCount() : m_catalogue.rowCount();
}

std::string FormControls::list(std::int16_t element, std::int16_t row)
{
    checkElement("List1", element, listElements);
    return element == namesList ? name(row) : std::string(m_catalogue.schoolText(row));
}

std::string FormControls::text(std::int16_t element)
{
    checkElement("Text1", element, textElements);
    return m_text;
}

void FormControls::setText(std::int16_t element, const std::string &text)
{
    checkElement("Text1", element, textElements);
    m_text = text;
    showText(m_text);
}

} // namespace tavrelon
