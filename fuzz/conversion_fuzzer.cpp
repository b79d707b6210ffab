// libFuzzer target: arbitrary bytes as a text for textToNumber, the numbers it gives (and raw
// double bit patterns) for toInteger16, and the same text as the school texts of the hidden list
// that the form reads. Runs under AddressSanitizer and UndefinedBehaviorSanitizer; every check
// that fails calls std::abort(), which libFuzzer reports as a crash with the input saved.

#include "cataloguecontrols.h"
#include "conversion.h"
#include "runtimeerror.h"
#include "schoolselection.h"

#include <algorithm>
#include <array>
#include <cfenv>
#include <clocale>
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

bool isAsciiDigit(char c)
{
    return c >= '0' && c <= '9';
}

// The shape of a text the reference readers below can judge, matched by hand rather than with
// the reader under test: [ \t]* [+-]? mantissa ([eE] [+-]? digits)? and nothing after it.
struct DecimalShape
{
    bool matches = false;
    bool negative = false;
    std::string_view integerDigits;
    std::string_view fractionDigits;
    bool hasPoint = false;
    bool hasExponent = false;
};

DecimalShape matchDecimal(std::string_view text)
{
    DecimalShape shape;
    std::size_t i = 0;
    const auto digitsFrom = [&](std::size_t from) {
        auto end = from;
        while (end < text.size() && isAsciiDigit(text[end])) {
            ++end;
        }
        return end;
    };
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) {
        ++i;
    }
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        shape.negative = text[i] == '-';
        ++i;
    }
    auto end = digitsFrom(i);
    shape.integerDigits = text.substr(i, end - i);
    i = end;
    if (i < text.size() && text[i] == '.') {
        shape.hasPoint = true;
        end = digitsFrom(i + 1);
        shape.fractionDigits = text.substr(i + 1, end - i - 1);
        i = end;
    }
    if (shape.integerDigits.empty() && shape.fractionDigits.empty()) {
        return shape;
    }
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        auto pos = i + 1;
        if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
            ++pos;
        }
        end = digitsFrom(pos);
        if (end == pos) {
            return shape;
        }
        shape.hasExponent = true;
        i = end;
    }
    shape.matches = i == text.size();
    return shape;
}

// glibc's strtod, correctly rounded and independent of the locale the process runs in
// (newlocale and strtod_l are POSIX and GNU additions to <clocale> and <cstdlib>).
double referenceStrtod(std::string_view text)
{
    static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", nullptr);
    const std::string copy(text);
    return strtod_l(copy.c_str(), nullptr, cLocale);
}

// Exact integer arithmetic for a short plain decimal: the digits as one integer N and the
// scale 10^f. When N < 2^53 both are exact doubles, so their IEEE quotient is the correctly
// rounded value of the text. Returns false when the digits do not fit that way.
bool referenceExact(const DecimalShape &shape, double &value)
{
    constexpr std::uint64_t exactLimit = std::uint64_t {1} << 53;
    std::uint64_t digits = 0;
    std::uint64_t scale = 1;
    for (const char c : shape.integerDigits) {
        digits = digits * 10 + static_cast<std::uint64_t>(c - '0');
        if (digits >= exactLimit) {
            return false;
        }
    }
    for (const char c : shape.fractionDigits) {
        digits = digits * 10 + static_cast<std::uint64_t>(c - '0');
        scale *= 10;
        if (digits >= exactLimit || scale >= exactLimit) {
            return false;
        }
    }
    value = static_cast<double>(digits) / static_cast<double>(scale);
    if (shape.negative) {
        value = -value;
    }
    return true;
}

void checkAgainstReferences(std::string_view text, double value)
{
    const auto shape = matchDecimal(text);
    if (!shape.matches) {
        return;
    }
    // Every text of this shape is read in full; glibc reads the same grammar and more.
    check(value == referenceStrtod(text), "textToNumber differs from strtod", text);
    const bool plain = !shape.hasExponent && !shape.integerDigits.empty() &&
        shape.integerDigits.size() <= 15 && shape.fractionDigits.size() <= 15 &&
        (!shape.hasPoint || !shape.fractionDigits.empty());
    double exact = 0.0;
    if (plain && referenceExact(shape, exact)) {
        check(value == exact, "textToNumber differs from exact arithmetic", text);
    }
}

// Rounding by the floating-point unit in its default mode, then the 16-bit range.
void checkInteger16(double value, std::string_view text)
{
    check(std::fegetround() == FE_TONEAREST, "rounding mode changed", text);
    const double rounded = std::nearbyint(value);
    const bool fits = !std::isnan(value) && rounded >= -32768.0 && rounded <= 32767.0;
    try {
        const auto result = toInteger16(value);
        check(fits, "toInteger16 accepted a value outside -32768..32767", text);
        check(static_cast<double>(result) == rounded, "toInteger16 differs from nearbyint", text);
    } catch (const RuntimeError &error) {
        check(!fits, "toInteger16 refused a value in range", text);
        check(error.number() == RuntimeError::Overflow, "toInteger16 raised another error", text);
    }
}

void checkConversions(std::string_view text)
{
    const double value = textToNumber(text);
    check(!std::isnan(value), "textToNumber gave NaN", text);
    checkAgainstReferences(text, value);
    // A letter cannot continue a number, so it never changes what is read before it.
    const std::string extended = std::string(text) + 'x';
    const double again = textToNumber(extended);
    check(again == value && std::signbit(again) == std::signbit(value),
          "a trailing letter changed the number", text);
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

// The expected result box for school value `school` over the given school texts.
std::string expectedReport(std::int16_t option, double school,
                           const std::vector<Representative> &rows)
{
    std::string report = "Избрана: " + std::string(captions[static_cast<std::size_t>(option)]);
    report += "\r\nПредставители:\r\n";
    for (const auto &row : rows) {
        if (textToNumber(row.schoolText) == school) {
            report += std::string(row.name) + "\r\n";
        }
    }
    return report;
}

// The text split at newlines becomes the hidden list, one school text a row; every row is
// clicked on fresh controls, then every option. Errors are the program's documented ones.
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

    for (std::size_t row = 0; row < rows.size(); ++row) {
        CatalogueControls controls(catalogue);
        SchoolSelection form(controls);
        controls.setOptionClickHandler([&form](std::int16_t index) { form.Option1_Click(index); });
        controls.selectRow(static_cast<std::int16_t>(row));

        const double school = textToNumber(rows[row].schoolText);
        const double rounded = std::nearbyint(school);
        const bool fits = rounded >= -32768.0 && rounded <= 32767.0;
        const bool hasOption = rounded >= 0.0 && rounded < static_cast<double>(captions.size());
        try {
            form.List1_Click(0);
            check(hasOption, "a list click went through without an option to check", text);
            const auto option = static_cast<std::int16_t>(rounded);
            check(controls.checkedOption() == option, "the wrong option is checked", text);
            check(controls.text(0) == expectedReport(option, school, rows),
                  "the list click wrote the wrong report", text);
            check(form.clickSource() == SchoolSelection::NoClick, "the click guard stayed set",
                  text);
        } catch (const RuntimeError &error) {
            const int expected = fits ? RuntimeError::NoSuchElement : RuntimeError::Overflow;
            check(!hasOption && error.number() == expected, "unexpected error on a list click",
                  text);
        }
    }

    CatalogueControls controls(catalogue);
    SchoolSelection form(controls);
    controls.setOptionClickHandler([&form](std::int16_t index) { form.Option1_Click(index); });
    for (std::int16_t option = 0; option < static_cast<std::int16_t>(captions.size()); ++option) {
        controls.setOptionValue(option, true);
        check(controls.text(0) == expectedReport(option, option, rows),
              "an option click wrote the wrong report", text);
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
