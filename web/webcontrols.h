#pragma once

#include "formcontrols.h"

#include <string>

namespace tavrelon {
class Catalogue;
}

// The controls of the page, as the form's code sees them. The page's script holds their state
// (the selected name, the checked option, the captions and names as shown); this class asks it
// through the functions the script hands to the WebAssembly module.
class WebControls : public tavrelon::FormControls
{
public:
    explicit WebControls(const tavrelon::Catalogue &catalogue);

    std::string optionCaption(std::int16_t element) override;
    bool optionValue(std::int16_t element) override;
    void setOptionValue(std::int16_t element, bool value) override;

protected:
    std::int16_t selectedName() override;
    std::int16_t nameCount() override;
    std::string name(std::int16_t row) override;
    void showText(const std::string &text) override;

private:
    static void checkOption(std::int16_t element);
};
