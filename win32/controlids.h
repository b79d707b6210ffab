#pragma once

#include "formdesign.h"

#include <cstddef>

// Each control of the form is a child window whose id is its row in FormDesign::controls plus
// firstControlId, well clear of IDOK and IDCANCEL, which the dialog manager sends for Enter and
// Escape.
namespace ControlIds {

inline constexpr int firstControlId = 100;
// The hidden label that names the result box for screen readers.
inline constexpr int resultBoxLabelId = firstControlId - 1;

constexpr int idOf(std::size_t row)
{
    return firstControlId + static_cast<int>(row);
}

// The row of FormDesign::controls for a child window id, or -1.
constexpr int rowOf(int id)
{
    const int row = id - firstControlId;
    return row >= 0 && row < static_cast<int>(FormDesign::controls.size()) ? row : -1;
}

} // namespace ControlIds
