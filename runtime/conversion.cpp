#include "conversion.h"

#include "runtimeerror.h"
#include "variant.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <optional>
#include <string>
#include <version>

namespace tavrelon {

namespace {

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

std::size_t skipDigits(std::string_view text, std::size_t pos)
{
    while (pos < text.size() && isDigit(text[pos])) {
        ++pos;
    }
    return pos;
}

// Length of the longest prefix of text that has the form  digits [. digits] [e [sign] digits],
// with at least one digit before or after the point; 0 when there is none.
std::size_t numberLength(std::string_view text)
{
    const auto intEnd = skipDigits(text, 0);
    auto end = intEnd;
    if (end < text.size() && text[end] == '.') {
        end = skipDigits(text, end + 1);
    }
    const auto mantissaDigits = end - (end > intEnd ? 1 : 0);
    if (mantissaDigits == 0) {
        return 0;
    }
    if (end < text.size() && (text[end] == 'e' || text[end] == 'E')) {
        auto pos = end + 1;
        if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
            ++pos;
        }
        const auto expEnd = skipDigits(text, pos);
        if (expEnd > pos) {
            end = expEnd;
        }
    }
    return end;
}

#if defined(__cpp_lib_to_chars)
// Roughly log10 of a number already known to have the form numberLength() accepts and to be
// out of the range of a double: positive for huge numbers, zero or negative for tiny ones.
long long decimalMagnitude(std::string_view number)
{
    const auto expPos = number.find_first_of("eE");
    const auto mantissa = number.substr(0, expPos);
    const auto point = std::min(mantissa.find('.'), mantissa.size());
    const auto firstNonZero = mantissa.find_first_of("123456789");
    if (firstNonZero == std::string_view::npos) {
        return -1;
    }
    long long magnitude = firstNonZero < point ? static_cast<long long>(point - firstNonZero)
                                               : -static_cast<long long>(firstNonZero - point - 1);
    if (expPos != std::string_view::npos) {
        auto exponent = number.substr(expPos + 1);
        const bool negative = !exponent.empty() && exponent.front() == '-';
        if (!exponent.empty() && (exponent.front() == '-' || exponent.front() == '+')) {
            exponent.remove_prefix(1);
        }
        long long value = 0;
        for (const char c : exponent) {
            value = std::min(value * 10 + (c - '0'), 1'000'000'000LL);
        }
        magnitude += negative ? -value : value;
    }
    return magnitude;
}

#endif

// The value of a text that numberLength() accepted in full; nullopt if it cannot be read.
std::optional<double> parseNumber(std::string_view number)
{
#if defined(__cpp_lib_to_chars)
    // Independent of the C locale, which a toolkit may change.
    double value = 0.0;
    const auto *first = number.data();
    const auto *last = first + number.size();
    const auto [ptr, ec] = std::from_chars(first, last, value, std::chars_format::general);
    if (ec == std::errc::result_out_of_range) {
        // from_chars leaves the value alone here: tell overflow from underflow by magnitude.
        return decimalMagnitude(number) > 0 ? std::numeric_limits<double>::infinity() : 0.0;
    }
    if (ec != std::errc {} || ptr != last) {
        return std::nullopt;
    }
    return value;
#else
    // A standard library without from_chars for doubles (WebAssembly's): strtod on exactly the
    // accepted text, whose form holds in every locale. Out of range it gives infinity or the
    // nearest tiny value, as from_chars does after the fix-up above.
    const std::string text(number);
    char *end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    if (end != text.c_str() + text.size()) {
        return std::nullopt;
    }
    return value;
#endif
}

} // namespace

double textToNumber(std::string_view text) noexcept
{
    std::size_t pos = 0;
    while (pos < text.size() && (text[pos] == ' ' || text[pos] == '\t')) {
        ++pos;
    }
    bool negative = false;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
        negative = text[pos] == '-';
        ++pos;
    }
    const auto rest = text.substr(pos);
    const auto length = numberLength(rest);
    if (length == 0) {
        return 0.0;
    }

    const auto value = parseNumber(rest.substr(0, length));
    if (!value) {
        return 0.0;
    }
    return negative ? -*value : *value;
}

std::int16_t toInteger16(double value)
{
    if (std::isnan(value)) {
        throw RuntimeError::overflow();
    }
    auto rounded = std::floor(value);
    const auto fraction = value - rounded;
    if (fraction > 0.5 || (fraction == 0.5 && std::fmod(rounded, 2.0) != 0.0)) {
        rounded += 1.0;
    }
    if (rounded < std::numeric_limits<std::int16_t>::min() ||
        rounded > std::numeric_limits<std::int16_t>::max()) {
        throw RuntimeError::overflow();
    }
    return static_cast<std::int16_t>(rounded);
}

std::int16_t toInteger16(const Variant &value)
{
    if (value.isInteger()) {
        return static_cast<std::int16_t>(value.toDouble());
    }
    return toInteger16(value.toDouble());
}

} // namespace tavrelon
