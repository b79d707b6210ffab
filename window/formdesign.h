#pragma once

#include <QColor>
#include <QFont>
#include <QRect>
#include <QSize>
#include <QString>

#include <array>
#include <cstdint>
#include <optional>

// The window and its controls as designed: positions and sizes in twips (1/1440 inch, 15 to a
// pixel at 96 dots per inch), colours as 0x00BBGGRR values, captions as UTF-8.
namespace FormDesign {

enum class Kind { TextBox, Label, Frame, OptionButton, ListBox };
enum class Container { Window, Frame1 };

struct Control
{
    Kind kind;
    const char *name;
    int index; // element number within its control array; -1 for a single control
    Container container;
    QRect twips; // Left, Top, Width, Height
    const char *caption; // nullptr: the content comes from the catalogue or the assignment text
    std::optional<std::uint32_t> background; // nullopt: the system's colours for its kind
    int tabIndex;
};

// clang-format off
inline constexpr std::array<Control, 8> controls {{
    // kind              name     element  container          Left  Top   Width Height   caption               background    tab
    {Kind::TextBox,      "Text1",    0, Container::Window, {120,  1920, 6855, 2295}, nullptr,               std::nullopt, 0},
    {Kind::Label,        "Label1",   0, Container::Window, {960,  0,    4575, 375},  "Tavrelon, школи ",    0x0080C0FF,   2},
    {Kind::Frame,        "Frame1",  -1, Container::Window, {120,  480,  3615, 1335}, "Книжовни школи",      0x00FFC0C0,   3},
    {Kind::OptionButton, "Option1",  0, Container::Frame1, {120,  360,  3375, 285},  nullptr,               0x0080FF80,   4},
    {Kind::OptionButton, "Option1",  1, Container::Frame1, {120,  600,  3375, 285},  nullptr,               0x0080FF80,   5},
    {Kind::OptionButton, "Option1",  2, Container::Frame1, {120,  840,  3375, 285},  nullptr,               0x0080FF80,   6},
    {Kind::ListBox,      "List1",    0, Container::Window, {3840, 840,  3135, 915},  nullptr,               std::nullopt, 7},
    // List1(1), tab index 8, would be a hidden list of each name's school: the catalogue holds it.
    {Kind::Label,        "Label1",   1, Container::Window, {3840, 480,  3135, 375},  "Автори/граматици",    0x0080C0FF,   9},
}};
// clang-format on

inline constexpr QSize clientTwips {7230, 4305};
inline constexpr std::uint32_t windowBackground = 0x00FFC0C0;

constexpr int twipsToPixels(int twips)
{
    return twips / 15;
}

constexpr QRect twipsToPixels(QRect twips)
{
    return {twipsToPixels(twips.x()), twipsToPixels(twips.y()), twipsToPixels(twips.width()),
            twipsToPixels(twips.height())};
}

constexpr QSize clientPixels()
{
    return {twipsToPixels(clientTwips.width()), twipsToPixels(clientTwips.height())};
}

// 0x00BBGGRR as a colour.
constexpr QColor fromBgr(std::uint32_t bgr)
{
    return {int(bgr & 0xFF), int((bgr >> 8) & 0xFF), int((bgr >> 16) & 0xFF)};
}

// The publisher's web address followed by the program's name.
QString windowTitle();
// Times New Roman 12 pt, regular; where it is missing, a serif face with Cyrillic glyphs.
QFont windowFont();
// What the result box shows until the first report: seven lines, each ending in CR LF.
const char *assignmentText();

} // namespace FormDesign
