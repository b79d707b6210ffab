#pragma once

#include "controls.h"

#include <windows.h>

#include <string>
#include <vector>

namespace tavrelon {
class Catalogue;
}

// The form's controls backed by the window's child windows: the names list box, the option
// buttons in element order and the result box. The hidden school list is answered from the
// catalogue, row for row beside the names list.
class Win32Controls : public tavrelon::Controls
{
public:
    Win32Controls(const tavrelon::Catalogue &catalogue, HWND names, std::vector<HWND> options,
                  HWND resultBox);

    std::int16_t listIndex(std::int16_t element) override;
    std::int16_t listCount(std::int16_t element) override;
    std::string list(std::int16_t element, std::int16_t row) override;
    std::string optionCaption(std::int16_t element) override;
    bool optionValue(std::int16_t element) override;
    void setOptionValue(std::int16_t element, bool value) override;
    std::string text(std::int16_t element) override;
    void setText(std::int16_t element, const std::string &text) override;

    // Checks the option and clears the others of the group, without a click.
    void check(HWND option);

private:
    HWND option(std::int16_t element) const;

    const tavrelon::Catalogue &m_catalogue;
    HWND m_names;
    std::vector<HWND> m_options;
    HWND m_resultBox;
    // The text as written, read back byte for byte.
    std::string m_text;
};
