#include "cataloguecontrols.h"

#include "runtimeerror.h"

#include <utility>

namespace tavrelon {

CatalogueControls::CatalogueControls(const Catalogue &catalogue)
    : FormControls(catalogue)
    , m_values(static_cast<std::size_t>(catalogue.schoolCount()), false)
{ }

std::int16_t CatalogueControls::nameCount()
{
    return catalogue().rowCount();
}

std::string CatalogueControls::name(std::int16_t row)
{
    return std::string(catalogue().name(row));
}

std::string CatalogueControls::optionCaption(std::int16_t element)
{
    return std::string(catalogue().caption(element));
}

bool CatalogueControls::optionValue(std::int16_t element)
{
    checkElement("Option1", element, catalogue().schoolCount());
    return m_values[static_cast<std::size_t>(element)];
}

void CatalogueControls::setOptionValue(std::int16_t element, bool value)
{
    checkElement("Option1", element, catalogue().schoolCount());
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

void CatalogueControls::showText(const std::string & /*text*/)
{
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
