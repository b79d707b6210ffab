#include "formdesign.h"

#include <algorithm>
#include <cmath>

namespace FormDesign {

namespace {

// WCAG's relative luminance of an sRGB colour.
double luminance(std::uint32_t bgr)
{
    const auto linear = [](int channel) {
        const double value = channel / 255.0;
        return value <= 0.04045 ? value / 12.92 : std::pow((value + 0.055) / 1.055, 2.4);
    };
    const auto rgb = fromBgr(bgr);
    return 0.2126 * linear(rgb.red) + 0.7152 * linear(rgb.green) + 0.0722 * linear(rgb.blue);
}

} // namespace

double contrastRatio(std::uint32_t bgr1, std::uint32_t bgr2)
{
    const double first = luminance(bgr1);
    const double second = luminance(bgr2);
    return (std::max(first, second) + 0.05) / (std::min(first, second) + 0.05);
}

const char *assignmentText()
{
    // Lines 3 and 6 each hold a double blank; it belongs to the text.
    return "Да се реализира проект, представящ междупредметни връзки БЕЛ и Информатика.\r\n"
           "Тема на проекта: Tavrelon, школи.\r\n"
           "В група от радиобутони да се представят, азбучно подредени, следните 3 книжовни "
           "школи: Преславска, Софийска,  Търновска.\r\n"
           "В списъчно поле да се представят имената на работилите в тях граматици. Имената "
           "също да бъдат азбучно подредени. В реализираният проект са въведени следните имена: "
           "Владислав Граматик, Григорий Доброписец, Григорий Цамблак, Димитър Кантакузин, "
           "Дионисий Дивний, Евтимий Търновски, йеромонах Гаврил, Йоан Екзарх, Йоасаф Бдински, "
           "Киприан Цамблак, Константин Костенечки, Константин Преславски, Матей Граматик, "
           "Наум Преславски, поп Пейо, св. Георги Софийски, Теодосий Търновски, Черноризец "
           "Храбър.\r\n"
           "Имената и в двете групи са уникални, а броят им е различен.\r\n"
           "При събитие On-Click върху елемент от едната група проектът да извежда адекватна "
           "релация между  книжовни школи и работилите в тях граматици.\r\n"
           "Прочетете допълнителен материал за старобългарската литература и изградените "
           "книжовни школи.\r\n";
}

} // namespace FormDesign
