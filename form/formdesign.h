#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

// The window and its controls as designed, for every window layer to build from: positions and
// sizes in twips (1/1440 inch, 15 to a pixel at 96 dots per inch), colours as 0x00BBGGRR
// values, texts as UTF-8. Nothing here depends on a toolkit.
namespace FormDesign {

enum class Kind { TextBox, Label, Frame, OptionButton, ListBox };
enum class Container { Window, Frame1 };

struct Twips
{
    int left;
    int top;
    int width;
    int height;
};

struct Control
{
    Kind kind;
    const char *name;
    int index; // element number within its control array; -1 for a single control
    Container container;
    Twips twips; // relative to the container
    const char *caption; // nullptr: the content comes from the catalogue or the assignment text
    // A control whose background is fixed has a fixed text colour too, chosen to read on it
    // whatever the desktop's theme: a fixed background under the theme's text colour is
    // unreadable in dark and high-contrast themes. Without either, the control keeps all of
    // the system's colours for its kind (background, text and selection together).
    std::optional<std::uint32_t> background;
    std::optional<std::uint32_t> foreground;
    int tabIndex;
};

inline constexpr std::uint32_t black = 0x00000000;

// clang-format off
inline constexpr std::array<Control, 8> controls {{
    // kind              name     element  container          Left  Top   Width Height   caption               background    text          tab
    {Kind::TextBox,      "Text1",    0, Container::Window, {120,  1920, 6855, 2295}, nullptr,               std::nullopt, std::nullopt, 0},
    {Kind::Label,        "Label1",   0, Container::Window, {960,  0,    4575, 375},  "Tavrelon, школи ",    0x0080C0FF,   black,        2},
    {Kind::Frame,        "Frame1",  -1, Container::Window, {120,  480,  3615, 1335}, "Книжовни школи",      0x00FFC0C0,   black,        3},
    {Kind::OptionButton, "Option1",  0, Container::Frame1, {120,  360,  3375, 285},  nullptr,               0x0080FF80,   black,        4},
    {Kind::OptionButton, "Option1",  1, Container::Frame1, {120,  600,  3375, 285},  nullptr,               0x0080FF80,   black,        5},
    {Kind::OptionButton, "Option1",  2, Container::Frame1, {120,  840,  3375, 285},  nullptr,               0x0080FF80,   black,        6},
    {Kind::ListBox,      "List1",    0, Container::Window, {3840, 840,  3135, 915},  nullptr,               std::nullopt, std::nullopt, 7},
    // List1(1), tab index 8, would be a hidden list of each name's school: the catalogue holds it.
    {Kind::Label,        "Label1",   1, Container::Window, {3840, 480,  3135, 375},  "Автори/граматици",    0x0080C0FF,   black,        9},
}};
// clang-format on

// Names and descriptions for assistive technology, the same in every window. The names list is
// named by its caption, Label1(1), and the frame by its own; the result box has no caption.
// The options have no description: a screen reader would say it again with every arrow key.
inline constexpr const char *resultBoxName = "Избрана школа и нейните представители";
inline constexpr const char *resultBoxDescription =
    "Показва заданието, а след избор на школа или на име — избраната книжовна школа и нейните "
    "представители, по един на ред.";
inline constexpr const char *namesListDescription =
    "Изборът на име отбелязва школата му и показва нейните представители в полето отдолу.";
inline constexpr const char *schoolFrameDescription =
    "Изборът на школа показва нейните представители в полето отдолу.";

// The window: its caption (the publisher's web address followed by the program's name), client
// area and background.
inline constexpr const char *windowCaption = "www.example.org - Tavrelon, школи";
inline constexpr int clientWidthTwips = 7230;
inline constexpr int clientHeightTwips = 4305;
inline constexpr std::uint32_t windowBackground = 0x00FFC0C0;

// The window's font, which every control takes: Times New Roman, 12 pt, regular, with the
// Cyrillic character set. Where it is missing, the first installed of the other families:
// Liberation Serif and Tinos share its metrics, so the layout holds with them; the rest are
// serif faces with Cyrillic glyphs.
inline constexpr std::array<std::string_view, 7> fontFamilies {
    "Times New Roman", "Liberation Serif", "Tinos",     "Nimbus Roman",
    "DejaVu Serif",    "FreeSerif",        "Noto Serif"};
inline constexpr int fontPointSize = 12;
inline constexpr int fontWeight = 400;
inline constexpr int fontCharset = 204; // Cyrillic

// Lengths at a screen density: 15 twips to a pixel at 96 dots per inch, rounded to the nearest
// pixel at other densities.
constexpr int twipsToPixels(int twips, int dpi = 96)
{
    return (twips * dpi + 720) / 1440;
}

constexpr Twips twipsToPixels(Twips twips, int dpi = 96)
{
    return {twipsToPixels(twips.left, dpi), twipsToPixels(twips.top, dpi),
            twipsToPixels(twips.width, dpi), twipsToPixels(twips.height, dpi)};
}

struct Rgb
{
    int red;
    int green;
    int blue;
};

// 0x00BBGGRR as red, green and blue.
constexpr Rgb fromBgr(std::uint32_t bgr)
{
    return {int(bgr & 0xFFU), int((bgr >> 8U) & 0xFFU), int((bgr >> 16U) & 0xFFU)};
}

// Where a window's frame of `size` goes along one side of a screen's available area that starts
// at `start` and is `available` long: centred, and where it does not fit, at the area's start, so
// that its top-left corner and title bar stay on screen.
constexpr int centredStart(int start, int available, int size)
{
    return size >= available ? start : start + (available - size) / 2;
}

// The colours a window draws with. Normally the form's own; when the system asks every program
// for its colours (a high-contrast setting), none: the system's everywhere, the window's
// background included.
struct Colours
{
    std::uint32_t background;
    std::uint32_t foreground;
};

constexpr std::optional<Colours> coloursOf(const Control &control, bool systemColours)
{
    if (systemColours || !control.background || !control.foreground) {
        return std::nullopt;
    }
    return Colours {*control.background, *control.foreground};
}

constexpr std::optional<std::uint32_t> windowBackgroundOf(bool systemColours)
{
    return systemColours ? std::nullopt : std::optional<std::uint32_t>(windowBackground);
}

// WCAG's contrast ratio of two colours, from 1 (the same) to 21 (black on white).
double contrastRatio(std::uint32_t bgr1, std::uint32_t bgr2);

// What the result box shows until the first report: seven lines, each ending in CR LF.
const char *assignmentText();

} // namespace FormDesign
