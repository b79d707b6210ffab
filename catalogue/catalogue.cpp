#include "catalogue.h"

#include "runtimeerror.h"

#include <array>
#include <cassert>
#include <limits>

namespace tavrelon {

namespace {

constexpr std::array<std::string_view, 3> schoolCaptions {
    "Преславска книжовна школа",
    "Софийска книжовна школа",
    "Търновска книжовна школа",
};

// Alphabetical by the Bulgarian alphabet, letter case ignored. Row 6 really ends in a blank.
constexpr std::array<Representative, 18> representatives {{
    {"Владислав Граматик", "2"},
    {"Григорий Доброписец", "2"},
    {"Григорий Цамблак", "2"},
    {"Димитър Кантакузин", "2"},
    {"Дионисий Дивний", "2"},
    {"Евтимий Търновски", "2"},
    {"йеромонах Гаврил ", "1"},
    {"Йоан Екзарх", "0"},
    {"Йоасаф Бдински", "2"},
    {"Киприан Цамблак", "2"},
    {"Константин Костенечки", "2"},
    {"Константин Преславски", "0"},
    {"Матей Граматик", "1"},
    {"Наум Преславски", "0"},
    {"поп Пейо", "1"},
    {"св. Георги Софийски", "1"},
    {"Теодосий Търновски", "2"},
    {"Черноризец Храбър", "0"},
}};

} // namespace

Catalogue::Catalogue(std::span<const std::string_view> captions,
                     std::span<const Representative> representatives)
    : m_captions(captions)
    , m_rows(representatives)
{
    // Rows and schools are numbered with 16-bit integers.
    assert(captions.size() <= std::numeric_limits<std::int16_t>::max());
    assert(representatives.size() <= std::numeric_limits<std::int16_t>::max());
}

const Catalogue &Catalogue::standard()
{
    static const Catalogue catalogue(schoolCaptions, representatives);
    return catalogue;
}

const Representative &Catalogue::at(std::int16_t row) const
{
    if (row < 0 || row >= rowCount()) {
        throw RuntimeError::invalidRow("List1", row);
    }
    return m_rows[static_cast<std::size_t>(row)];
}

std::string_view Catalogue::name(std::int16_t row) const
{
    return at(row).name;
}

std::string_view Catalogue::schoolText(std::int16_t row) const
{
    return at(row).schoolText;
}

std::string_view Catalogue::caption(std::int16_t school) const
{
    if (school < 0 || school >= schoolCount()) {
        throw RuntimeError::noSuchElement("Option1", school);
    }
    return m_captions[static_cast<std::size_t>(school)];
}

} // namespace tavrelon
