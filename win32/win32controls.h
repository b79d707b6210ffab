#pragma once

#include "formcontrols.h"
#include "liveregion.h"

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

namespace tavrelon {
class Catalogue;
}

// The form's controls backed by the window's child windows: the names list box, the option
// buttons in element order and the result box. Once reports are announced, every text written
// to the box is also spoken by screen readers, a repeated one too.
class Win32Controls : public tavrelon::FormControls
{
public:
    Win32Controls(const tavrelon::Catalogue &catalogue, HWND names, std::vector<HWND> options,
                  HWND resultBox);

    std::string optionCaption(std::int16_t element) override;
    bool optionValue(std::int16_t element) override;
    void setOptionValue(std::int16_t element, bool value) override;

    // Checks the option and clears the others of the group, without a click.
    void check(HWND option);
    // Makes the result box a live region that speaks each text written to it from now on, or
    // (false) ends that, which must happen before the box is destroyed.
    void announceReports(bool on);

protected:
    std::int16_t selectedName() override;
    std::int16_t nameCount() override;
    std::string name(std::int16_t row) override;
    void showText(const std::string &text) override;

private:
    HWND option(std::int16_t element) const;

    HWND m_names;
    std::vector<HWND> m_options;
    HWND m_resultBox;
    bool m_announcing = false;
    std::unique_ptr<LiveRegion> m_liveRegion;
};
