#pragma once

#include <cstdint>
#include <variant>

namespace tavrelon {

// A value that is empty or holds a 16-bit integer or a double. Comparisons are numeric, so
// the integer 2 equals the double 2.0; an empty value compares as 0.
class Variant
{
public:
    Variant() = default;
    explicit Variant(std::int16_t value)
        : m_value(value)
    { }
    explicit Variant(double value)
        : m_value(value)
    { }

    bool isEmpty() const { return std::holds_alternative<std::monostate>(m_value); }
    bool isInteger() const { return std::holds_alternative<std::int16_t>(m_value); }
    bool isDouble() const { return std::holds_alternative<double>(m_value); }

    // The numeric value: the integer widened to double, or 0 when empty.
    double toDouble() const;

    friend bool operator==(const Variant &left, const Variant &right);

private:
    std::variant<std::monostate, std::int16_t, double> m_value;
};

} // namespace tavrelon
