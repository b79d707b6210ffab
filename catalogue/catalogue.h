#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace tavrelon {

// One grammarian: the name shown in the names list and the school text that the hidden list
// holds beside it (the decimal digit of the school's index).
struct Representative
{
    std::string_view name;
    std::string_view schoolText;
};

// The fixed content of the window: the school captions, indexed by school (which is also the
// element number of the school's option button), and the representatives in list order.
// A catalogue only views its tables; they must outlive it.
class Catalogue
{
public:
    Catalogue(std::span<const std::string_view> captions,
              std::span<const Representative> representatives);

    // The three schools and eighteen grammarians the program presents.
    static const Catalogue &standard();

    std::int16_t rowCount() const { return static_cast<std::int16_t>(m_rows.size()); }
    std::int16_t schoolCount() const { return static_cast<std::int16_t>(m_captions.size()); }

    // The read operations. A row or school without an entry is a RuntimeError.
    std::string_view name(std::int16_t row) const;
    std::string_view schoolText(std::int16_t row) const;
    std::string_view caption(std::int16_t school) const;

private:
    const Representative &at(std::int16_t row) const;

    std::span<const std::string_view> m_captions;
    std::span<const Representative> m_rows;
};

} // namespace tavrelon
