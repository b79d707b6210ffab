#include "formdesign.h"

#include <QStringList>

namespace FormDesign {

QString windowTitle()
{
    return QStringLiteral("www.example.org - Tavrelon, школи");
}

QFont windowFont()
{
    QFont font;
    // Liberation Serif and Tinos share Times New Roman's metrics, so the layout holds with them.
    font.setFamilies({QStringLiteral("Times New Roman"), QStringLiteral("Liberation Serif"),
                      QStringLiteral("Tinos"), QStringLiteral("Nimbus Roman"),
                      QStringLiteral("DejaVu Serif"), QStringLiteral("FreeSerif"),
                      QStringLiteral("Noto Serif")});
    font.setStyleHint(QFont::Serif, QFont::PreferQuality);
    font.setPointSize(12);
    font.setWeight(QFont::Normal);
    font.setItalic(false);
    font.setUnderline(false);
    font.setStrikeOut(false);
    return font;
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
