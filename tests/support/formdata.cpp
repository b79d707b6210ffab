// Writes the form and what the program must show as one JSON document on standard output, for
// the tests that are not C++ (the page's, the Windows window's, the AT-SPI ones): the control
// table and the window from the form's design, the catalogue's captions, names and school
// texts, the accessible names, the assignment text, and the three reports and each row's school
// as the C++ tests expect them. They read it instead of our sources.
#include "catalogue.h"
#include "expectedreports.h"
#include "formdesign.h"

#include <array>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

namespace {

using FormDesign::Container;
using FormDesign::Kind;

std::string quoted(std::string_view text)
{
    static constexpr std::string_view hex = "0123456789abcdef";
    std::string out = "\"";
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (c == '\r') {
            out += "\\r";
        } else if (c == '\n') {
            out += "\\n";
        } else if (byte < 0x20U) {
            out += "\\u00";
            out += hex.at(byte >> 4U);
            out += hex.at(byte & 0xFU);
        } else {
            out += c; // UTF-8 passes through
        }
    }
    return out + '"';
}

std::string number(int value)
{
    return std::to_string(value);
}

// 0x00BBGGRR as "#rrggbb", or null.
std::string colour(std::optional<std::uint32_t> bgr)
{
    if (!bgr) {
        return "null";
    }
    static constexpr std::string_view hex = "0123456789abcdef";
    const auto rgb = FormDesign::fromBgr(*bgr);
    std::string text = "#";
    for (const int channel : {rgb.red, rgb.green, rgb.blue}) {
        text += hex.at(std::size_t(channel) >> 4U);
        text += hex.at(std::size_t(channel) & 0xFU);
    }
    return quoted(text);
}

// A JSON array of values already written as JSON.
template<typename Range, typename Write>
std::string array(const Range &range, Write write, std::string_view separator = ", ")
{
    std::string out = "[";
    bool first = true;
    for (const auto &item : range) {
        if (!first) {
            out += separator;
        }
        first = false;
        out += write(item);
    }
    return out + "]";
}

// A JSON object of members whose values are already written as JSON.
std::string object(std::initializer_list<std::pair<std::string_view, std::string>> members,
                   std::string_view separator = ", ")
{
    std::string out = array(
        members, [](const auto &member) { return quoted(member.first) + ": " + member.second; },
        separator);
    out.front() = '{';
    out.back() = '}';
    return out;
}

std::string_view kindName(Kind kind)
{
    switch (kind) {
    case Kind::TextBox:
        return "TextBox";
    case Kind::Label:
        return "Label";
    case Kind::Frame:
        return "Frame";
    case Kind::OptionButton:
        return "OptionButton";
    case Kind::ListBox:
        return "ListBox";
    }
    return "";
}

std::string control(const FormDesign::Control &c)
{
    const std::string name = c.name;
    const std::string id = c.index < 0 ? name : name + '_' + number(c.index);
    const std::array<int, 4> twips {c.twips.left, c.twips.top, c.twips.width, c.twips.height};
    return object({
        {"id", quoted(id)},
        {"kind", quoted(kindName(c.kind))},
        {"name", quoted(name)},
        {"index", number(c.index)},
        {"container", quoted(c.container == Container::Window ? "Window" : "Frame1")},
        {"twips", array(twips, number)},
        {"caption", c.caption != nullptr ? quoted(c.caption) : "null"},
        {"background", colour(c.background)},
        {"foreground", colour(c.foreground)},
        {"tabIndex", number(c.tabIndex)},
    });
}

std::string catalogueArray(std::int16_t count, auto read)
{
    std::string out = "[";
    for (std::int16_t i = 0; i < count; ++i) {
        out += (i > 0 ? ", " : "") + quoted(read(i));
    }
    return out + "]";
}

} // namespace

int main()
{
#ifdef _WIN32
    // The document's line ends are its own.
    _setmode(_fileno(stdout), _O_BINARY);
#endif
    const auto &catalogue = tavrelon::Catalogue::standard();
    const auto rows = catalogue.rowCount();
    const std::string json =
        object(
            {
                {"window",
                 object({
                     {"caption", quoted(FormDesign::windowCaption)},
                     {"clientTwips",
                      array(
                          std::array {FormDesign::clientWidthTwips, FormDesign::clientHeightTwips},
                          number)},
                     {"background", colour(FormDesign::windowBackground)},
                 })},
                {"font",
                 object({
                     {"families", array(FormDesign::fontFamilies, quoted)},
                     {"pointSize", number(FormDesign::fontPointSize)},
                     {"weight", number(FormDesign::fontWeight)},
                     {"charset", number(FormDesign::fontCharset)},
                 })},
                {"controls", array(FormDesign::controls, control, ",\n    ")},
                {"accessible",
                 object({
                     {"resultBoxName", quoted(FormDesign::resultBoxName)},
                     {"resultBoxDescription", quoted(FormDesign::resultBoxDescription)},
                     {"namesListDescription", quoted(FormDesign::namesListDescription)},
                     {"schoolFrameDescription", quoted(FormDesign::schoolFrameDescription)},
                 })},
                {"captions",
                 catalogueArray(catalogue.schoolCount(),
                                [&](std::int16_t school) { return catalogue.caption(school); })},
                {"names",
                 catalogueArray(rows, [&](std::int16_t row) { return catalogue.name(row); })},
                {"schoolTexts",
                 catalogueArray(rows, [&](std::int16_t row) { return catalogue.schoolText(row); })},
                {"assignment", quoted(FormDesign::assignmentText())},
                {"reports", array(expected::reports, quoted, ",\n    ")},
                {"announcements", array(expected::announcements, quoted, ",\n    ")},
                {"schoolOfRow", array(expected::schoolOfRow, number)},
            },
            ",\n  ") +
        "\n";
    std::fwrite(json.data(), 1, json.size(), stdout);
    return std::fflush(stdout) == 0 ? 0 : 1;
}
