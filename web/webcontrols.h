#pragma once

#include "controls.h"

#include <string>

namespace tavrelon {
class Catalogue;
}

// The controls of the page, as the form's code sees them. The page's script holds their state
// (the selected name, the checked option, the captions and names as shown); this class asks it
// through the functions the script hands to the WebAssembly module. The hidden list of each
// name's school is answered from the catalogue, as it is never shown.
class WebControls : public tavrelon::Controls
{
public:
    explicit WebControls(const tavrelon::Catalogue &catalogue);

    std::int16_t listIndex(std::int16_t element) override;
    std::int16_t listCount(std::int16_t element) override;
    std::string list(std::int16_t element, std::int16_t row) override;
    std::string optionCaption(std::int16_t element) override;
    bool optionValue(std::int16_t element) override;
    void setOptionValue(std::int16_t element, bool value) override;
    std::string text(std::int16_t element) override;
    void setText(std::int16_t element, const std::string &text) override;

private:
    void checkOption(std::int16_t element) const;

    const tavrelon::Catalogue &m_catalogue;
    std::string m_text;
};
