#include "cataloguecontrols.h"

#include "runtimeerror.h"

#include <utility>

namespace tavrelon {

CatalogueControls::CatalogueControls(const Catalogue &catalogue)
    : m_catalogue(catalogue)
    , m_values(static_cast<std::size_t>(catalogue.schoolCount()), false)
{ }

void CatalogueControls::checkList(std::int16_t element)
{
    checkElement("List1", element, 2);
}

std::int16_t CatalogueControls::listIndex(std::int16_t element)
{
    checkList(element);
    // The hidden list never has a selection of its own.
    return element == 0 ? m_selectedRow : std::int16_t {-1};
}

std::int16_t CatalogueControls::listCount(std::int16_t element)
{
    checkList(element);
    return m_catalogue.rowCount();
}

std::string CatalogueControls::list(std::int16_t element, std::int16_t row)
{
    checkList(element);
    return std::string(element == 0 ? m_catalogue.name(row) : m_catalogue.schoolText(row));
}

std::string CatalogueControls::optionCaption(std::int16_t element)
{
    return std::string(m_catalogue.caption(element));
}

bool CatalogueControls::optionValue(std::int16_t element)
{
    checkElement("Option1", element, m_catalogue.schoolCount());
    return m_values[static_cast<std::size_t>(element)];
}

void CatalogueControls::setOptionValue(std::int16_t element, bool value)
{
    checkElement("Option1", element, m_catalogue.schoolCount());
    const auto slot = static_cast<std::size_t>(element);
    if (!value) {
        m_values[slot] = false;
        return;
    }
    const bool wasChecked = m_values[slot];
    m_values.assign(m_values.size(), false);
    m_values[slot] = true;
    if (!wasChecked && m_optionClicked) {
        m_optionClicked(element);
    }
}

std::string CatalogueControls::text(std::int16_t element)
{
    checkElement("Text1", element, 1);
    return m_text;
}

void CatalogueControls::setText(std::int16_t element, const std::string &text)
{
    checkElement("Text1", element, 1);
    m_text = text;
    ++m_textWrites;
}

void CatalogueControls::setOptionClickHandler(std::function<void(std::int16_t)> handler)
{
    m_optionClicked = std::move(handler);
}

int CatalogueControls::checkedOption() const
{
    for (std::size_t i = 0; i < m_values.size(); ++i) {
        if (m_values[i]) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

} // namespace tavrelon
