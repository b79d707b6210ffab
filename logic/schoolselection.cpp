#include "schoolselection.h"

#include "controls.h"
#include "conversion.h"

#include <string>

namespace tavrelon {

namespace {

constexpr std::int16_t names = 0;
constexpr std::int16_t schools = 1;
constexpr std::int16_t resultBox = 0;
constexpr auto lineEnd = "\r\n";

} // namespace

SchoolSelection::SchoolSelection(Controls &controls)
    : m_controls(controls)
{ }

void SchoolSelection::List1_Click(std::int16_t /*index*/)
{
    if (ClickSource == OptionClick) {
        return;
    }
    // A click with no row selected has nothing to report. Leave before taking the guard:
    // taking it and returning would leave it set and swallow every later option click.
    const auto row = m_controls.listIndex(names);
    if (row < 0) {
        return;
    }
    ClickSource = ListClick;
    SelectedRow = Variant(row);
    SelectedSchool = Variant(textToNumber(m_controls.list(schools, toInteger16(SelectedRow))));
    // Checking the option raises its click right here; the guard makes that nested click a no-op.
    m_controls.setOptionValue(toInteger16(SelectedSchool), true);
    ShowRepresentatives();
}

void SchoolSelection::Option1_Click(std::int16_t index)
{
    if (ClickSource == ListClick) {
        return;
    }
    ClickSource = OptionClick;
    SelectedSchool = Variant(index);
    ShowRepresentatives();
}

void SchoolSelection::ShowRepresentatives()
{
    const int rowCount = m_controls.listCount(names);
    std::string report =
        "Избрана: " + m_controls.optionCaption(toInteger16(SelectedSchool)) + lineEnd;
    report += "Представители:";
    report += lineEnd;
    for (int i = 1; i <= rowCount; ++i) {
        const auto row = static_cast<std::int16_t>(i - 1);
        if (SelectedSchool == Variant(textToNumber(m_controls.list(schools, row)))) {
            report += m_controls.list(names, row) + lineEnd;
        }
    }
    // Built in full, then written once: the box ends up as if written line by line.
    m_controls.setText(resultBox, report);
    ClickSource = NoClick;
}

} // namespace tavrelon
