#include "variant.h"

namespace tavrelon {

double Variant::toDouble() const
{
    if (const auto *integer = std::get_if<std::int16_t>(&m_value)) {
        return *integer;
    }
    if (const auto *real = std::get_if<double>(&m_value)) {
        return *real;
    }
    return 0.0;
}

bool operator==(const Variant &left, const Variant &right)
{
    if (left.isInteger() && right.isInteger()) {
        return std::get<std::int16_t>(left.m_value) == std::get<std::int16_t>(right.m_value);
    }
    // Every 16-bit integer is exact as a double, so widening loses nothing.
    return left.toDouble() == right.toDouble();
}

} // namespace tavrelon
