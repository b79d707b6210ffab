#pragma once

#include "variant.h"

#include <cstdint>

namespace tavrelon {

class Controls;

// The form's code: reacts to a click on the names list or on a school option by writing the
// report of the chosen school into the result box, keeping the option group in step with the
// list. Works on the controls through the Controls interface alone.
class SchoolSelection
{
public:
    // What ClickSource says is being handled.
    enum : std::int16_t { NoClick = 0, ListClick = 1, OptionClick = 2 };

    explicit SchoolSelection(Controls &controls);

    // A click on List1(index). Only the names list, element 0, is ever read.
    void List1_Click(std::int16_t index);
    // A click on Option1(index); the index is the school.
    void Option1_Click(std::int16_t index);
    // Writes the report of SelectedSchool into Text1(0) and ends the click being handled.
    void ShowRepresentatives();

    std::int16_t clickSource() const { return ClickSource; }
    const Variant &selectedRow() const { return SelectedRow; }
    const Variant &selectedSchool() const { return SelectedSchool; }

private:
    Controls &m_controls;
    std::int16_t ClickSource = NoClick;
    Variant SelectedRow;
    Variant SelectedSchool;
};

} // namespace tavrelon
