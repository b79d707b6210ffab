#pragma once

#include "controls.h"

#include <string>

namespace tavrelon {

class Catalogue;

// What every window's controls share: the element checks of the lists and the result box, the
// hidden list of each name's school (never shown, so answered from the catalogue, row for row
// beside the names list), and the result box's text as it was written, CR LF and all, whatever
// the box makes of its line ends. A window supplies the names list, the options and how the box
// shows a new text.
class FormControls : public Controls
{
public:
    explicit FormControls(const Catalogue &catalogue);

    std::int16_t listIndex(std::int16_t element) final;
    std::int16_t listCount(std::int16_t element) final;
    std::string list(std::int16_t element, std::int16_t row) final;
    std::string text(std::int16_t element) final;
    void setText(std::int16_t element, const std::string &text) final;

protected:
    const Catalogue &catalogue() const { return m_catalogue; }

    // The names list, List1(0): its selected row (-1 for none), its row count, and the name at
    // a row (a RuntimeError for a row it does not have).
    virtual std::int16_t selectedName() = 0;
    virtual std::int16_t nameCount() = 0;
    virtual std::string name(std::int16_t row) = 0;
    // Shows a new text in the result box, from its first line.
    virtual void showText(const std::string &text) = 0;

private:
    const Catalogue &m_catalogue;
    std::string m_text;
};

} // namespace tavrelon
