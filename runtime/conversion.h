#pragma once

#include <cstdint>
#include <string_view>

namespace tavrelon {

class Variant;

// Reads a number from the start of a text: leading blanks and tabs are skipped, then an
// optional sign, digits, an optional decimal point with more digits and an optional exponent
// are taken as far as they form a number. Gives 0 when the text does not start with a
// number, and an infinity of the right sign when the number is too large for a double.
// Never throws and never reads outside the text.
double textToNumber(std::string_view text) noexcept;

// Rounds to the nearest 16-bit integer, ties to even (0.5 -> 0, 1.5 -> 2, -2.5 -> -2).
// Throws RuntimeError "Overflow" for NaN and for values that round outside -32768..32767.
std::int16_t toInteger16(double value);
std::int16_t toInteger16(const Variant &value);

} // namespace tavrelon
