#include "faultycatalogue.h"

#include "catalogue.h"

#include <array>
#include <string_view>
#include <utility>

namespace tavrelon {

const Catalogue &faultyCatalogue()
{
    static const auto tables = [] {
        const auto &standard = Catalogue::standard();
        std::array<std::string_view, 3> captions {};
        std::array<Representative, 18> rows {};
        for (std::int16_t school = 0; school < std::int16_t(captions.size()); ++school) {
            captions.at(std::size_t(school)) = standard.caption(school);
        }
        for (std::int16_t row = 0; row < std::int16_t(rows.size()); ++row) {
            rows.at(std::size_t(row)) = {standard.name(row), standard.schoolText(row)};
        }
        rows[1].schoolText = "7";
        return std::pair(captions, rows);
    }();
    static const Catalogue catalogue(tables.first, tables.second);
    return catalogue;
}

} // namespace tavrelon
