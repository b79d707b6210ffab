#pragma once

#include <array>
#include <string>

// The three school reports, byte for byte, what a screen reader is told of each, and the school
// of each row of the names list.
namespace expected {

inline const std::array<std::string, 3> reports {
    "Избрана: Преславска книжовна школа\r\n"
    "Представители:\r\n"
    "Йоан Екзарх\r\n"
    "Константин Преславски\r\n"
    "Наум Преславски\r\n"
    "Черноризец Храбър\r\n",

    "Избрана: Софийска книжовна школа\r\n"
    "Представители:\r\n"
    "йеромонах Гаврил \r\n"
    "Матей Граматик\r\n"
    "поп Пейо\r\n"
    "св. Георги Софийски\r\n",

    "Избрана: Търновска книжовна школа\r\n"
    "Представители:\r\n"
    "Владислав Граматик\r\n"
    "Григорий Доброписец\r\n"
    "Григорий Цамблак\r\n"
    "Димитър Кантакузин\r\n"
    "Дионисий Дивний\r\n"
    "Евтимий Търновски\r\n"
    "Йоасаф Бдински\r\n"
    "Киприан Цамблак\r\n"
    "Константин Костенечки\r\n"
    "Теодосий Търновски\r\n",
};

// What screen readers are told for each report: the school, then its names as one sentence.
// Row 6's trailing blank stays in the box, not in the sentence.
inline const std::array<std::string, 3> announcements {
    "Преславска книжовна школа. Представители: Йоан Екзарх, Константин Преславски, Наум "
    "Преславски, Черноризец Храбър.",
    "Софийска книжовна школа. Представители: йеромонах Гаврил, Матей Граматик, поп Пейо, "
    "св. Георги Софийски.",
    "Търновска книжовна школа. Представители: Владислав Граматик, Григорий Доброписец, "
    "Григорий Цамблак, Димитър Кантакузин, Дионисий Дивний, Евтимий Търновски, Йоасаф "
    "Бдински, Киприан Цамблак, Константин Костенечки, Теодосий Търновски.",
};

inline constexpr std::array<int, 18> schoolOfRow {2, 2, 2, 2, 2, 2, 1, 0, 2,
                                                  2, 2, 0, 1, 0, 1, 1, 2, 0};

} // namespace expected
