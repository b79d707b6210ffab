// libFuzzer target for the form's own code. The input is read as a number text by
// textToNumber, its value (and the first eight bytes as a raw double) rounded by toInteger16,
// and, split at newlines, as the school texts of the hidden list that the form reads. Nothing
// is computed a second way: each check is a property the code must keep whatever the input.
// Runs under AddressSanitizer and UndefinedBehaviorSanitizer; a failed check calls
// std::abort(), which libFuzzer reports as a crash with the input saved.

#include "cataloguecontrols.h"
#include "conversion.h"
#include "runtimeerror.h"
#include "schoolselection.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

using namespace tavrelon;

namespace {

[[noreturn]] void fail(const char *what, std::string_view text)
{
    std::fprintf(stderr, "check failed: %s\ninput (%zu bytes): \"", what, text.size());
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 && byte < 0x7f && byte != '"' && byte != '\\') {
            std::fputc(byte, stderr);
        } else {
            std::fprintf(stderr, "\\x%02x", byte);
        }
    }
    std::fputs("\"\n", stderr);
    std::abort();
}

void check(bool condition, const char *what, std::string_view text)
{
    if (!condition) {
        fail(what, text);
    }
}

bool same(double a, double b)
{
    return a == b && std::signbit(a) == std::signbit(b);
}

// toInteger16 gives the nearest integer, the even one of two, or refuses with Overflow exactly
// when that integer is not a 16-bit one.
void checkInteger16(double value, std::string_view text)
{
    const bool inRange = !std::isnan(value) && value > -32768.5 && value < 32767.5;
    try {
        const auto result = toInteger16(value);
        const double distance = std::fabs(static_cast<double>(result) - value);
        check(distance <= 0.5, "toInteger16 is not the nearest integer", text);
        check(distance < 0.5 || result % 2 == 0, "toInteger16 broke a tie away from even", text);
        check(inRange || value == -32768.5, "toInteger16 accepted a value out of range", text);
    } catch (const RuntimeError &error) {
        check(error.number() == RuntimeError::Overflow, "toInteger16 raised another error", text);
        check(!inRange && value != -32768.5, "toInteger16 refused a value in range", text);
    }
}

void checkConversions(std::string_view text)
{
    const double value = textToNumber(text);
    check(!std::isnan(value), "textToNumber gave NaN", text);

    // A letter cannot continue a number, and blanks before it are skipped.
    check(same(textToNumber(std::string(text) + 'x'), value), "a trailing letter changed it", text);
    check(same(textToNumber(" \t" + std::string(text)), value), "leading blanks changed it", text);
    // A sign in front of an unsigned number negates it (a text that is no number stays 0).
    if (!text.empty() &&
        (std::isdigit(static_cast<unsigned char>(text[0])) != 0 || text[0] == '.')) {
        check(textToNumber('-' + std::string(text)) == -value, "a minus sign did not negate", text);
    }
    // Every finite double written with 17 significant digits reads back as itself.
    if (std::isfinite(value)) {
        std::array<char, 40> written {};
        std::snprintf(written.data(), written.size(), "%.17g", value);
        check(same(textToNumber(written.data()), value), "a written number read back wrong", text);
    }
    checkInteger16(value, text);

    // The first eight bytes as a double reach NaNs, subnormals and values no text gives.
    if (text.size() >= sizeof(double)) {
        double bits = 0.0;
        std::memcpy(&bits, text.data(), sizeof bits);
        checkInteger16(bits, text);
    }
}

const std::array<std::string_view, 3> captions {"Първа", "Втора", "Трета"};
const std::array<std::string_view, 8> names {"А", "Б", "В", "Г", "Д", "Е", "Ж", "З"};

// Fresh controls and form over a catalogue, wired as a window wires them.
struct Form
{
    explicit Form(const Catalogue &catalogue)
        : controls(catalogue)
        , form(controls)
    {
        controls.setOptionClickHandler([this](std::int16_t index) { form.Option1_Click(index); });
    }

    CatalogueControls controls;
    SchoolSelection form;
};

// The report of an option click: ends in CR LF, holds no other line break, and names each
// representative once, in row order.
void checkReport(const std::string &report, std::string_view text)
{
    check(report.ends_with("\r\n"), "a report does not end its last line", text);
    for (std::size_t i = 0; i < report.size(); ++i) {
        if (report[i] == '\n') {
            check(i > 0 && report[i - 1] == '\r', "a report has a bare line feed", text);
        }
        if (report[i] == '\r') {
            check(i + 1 < report.size() && report[i + 1] == '\n', "a report has a bare CR", text);
        }
    }
}

// The text split at newlines becomes the hidden list, one school text a row. Every option is
// clicked, then every row on fresh controls. A list click that goes through must check the
// school its row names and write the very report that clicking that option writes; one that
// fails must fail with one of the program's run-time errors.
void checkForm(std::string_view text)
{
    std::vector<Representative> rows;
    std::size_t start = 0;
    while (rows.size() < names.size()) {
        const auto end = std::min(text.find('\n', start), text.size());
        rows.push_back({names[rows.size()], text.substr(start, end - start)});
        if (end == text.size()) {
            break;
        }
        start = end + 1;
    }
    const Catalogue catalogue(captions, rows);

    std::array<std::string, captions.size()> optionReports;
    Form byOption(catalogue);
    for (std::size_t option = 0; option < captions.size(); ++option) {
        const auto index = static_cast<std::int16_t>(option);
        byOption.controls.setOptionValue(index, true);
        check(byOption.controls.checkedOption() == index, "an option click unchecked it", text);
        optionReports[option] = byOption.controls.text(0);
        checkReport(optionReports[option], text);
        check(byOption.form.clickSource() == SchoolSelection::NoClick,
              "the click guard stayed set after an option click", text);
    }

    for (std::size_t row = 0; row < rows.size(); ++row) {
        Form byRow(catalogue);
        byRow.controls.selectRow(static_cast<std::int16_t>(row));
        const auto writes = byRow.controls.textWrites();
        try {
            byRow.form.List1_Click(0);
        } catch (const RuntimeError &error) {
            check(error.number() == RuntimeError::Overflow ||
                      error.number() == RuntimeError::NoSuchElement,
                  "a list click raised an unexpected error", text);
            check(byRow.controls.textWrites() == writes, "a failed list click wrote a report",
                  text);
            continue;
        }
        check(byRow.controls.textWrites() == writes + 1, "a list click wrote more than once", text);
        check(byRow.form.clickSource() == SchoolSelection::NoClick,
              "the click guard stayed set after a list click", text);
        const int option = byRow.controls.checkedOption();
        check(option >= 0, "a list click checked no option", text);
        const auto report = byRow.controls.text(0);
        const std::string line = std::string("\r\n") + std::string(names[row]) + "\r\n";
        // A whole school number is the option's own: the same report, this name in it.
        if (byRow.form.selectedSchool() == Variant(static_cast<std::int16_t>(option))) {
            check(report == optionReports[static_cast<std::size_t>(option)],
                  "a list click and its option's click wrote different reports", text);
            check(report.find(line) != std::string::npos, "the chosen name is not in its report",
                  text);
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    // libFuzzer's buffer is exactly `size` bytes long, so AddressSanitizer sees any read past it.
    const std::string_view text(reinterpret_cast<const char *>(data), size);
    checkConversions(text);
    checkForm(text);
    return 0;
}
