#pragma once

#include "catalogue.h"
#include "formcontrols.h"

#include <functional>
#include <string>
#include <vector>

namespace tavrelon {

// The controls without a window: the names list, the hidden school list and the option
// captions answered from a catalogue, a selected row, three option values and a text.
// Checking an option that was not checked calls the option-click callback before
// setOptionValue() returns, as the window does. For tests, benchmarks and the fuzzer.
class CatalogueControls : public FormControls
{
public:
    explicit CatalogueControls(const Catalogue &catalogue = Catalogue::standard());

    std::string optionCaption(std::int16_t element) override;
    bool optionValue(std::int16_t element) override;
    void setOptionValue(std::int16_t element, bool value) override;

    // What a user does: select a row of the names list (-1 for none), check an option.
    void selectRow(std::int16_t row) { m_selectedRow = row; }
    void setOptionClickHandler(std::function<void(std::int16_t)> handler);

    int textWrites() const { return m_textWrites; }
    // The index of the checked option, or -1.
    int checkedOption() const;

protected:
    std::int16_t selectedName() override { return m_selectedRow; }
    std::int16_t nameCount() override;
    std::string name(std::int16_t row) override;
    void showText(const std::string &text) override;

private:
    std::int16_t m_selectedRow = -1;
    std::vector<bool> m_values;
    int m_textWrites = 0;
    std::function<void(std::int16_t)> m_optionClicked;
};

} // namespace tavrelon
