#include "formdesign.h"

#include <QFontDatabase>
#include <QStringList>

#include <algorithm>

namespace FormDesign {

QString windowTitle()
{
    return QStringLiteral("www.example.org - Tavrelon, школи");
}

QFont windowFont()
{
    QFont font;
    // Liberation Serif and Tinos share Times New Roman's metrics, so the layout holds with them.
    QStringList families {QStringLiteral("Times New Roman"), QStringLiteral("Liberation Serif"),
                          QStringLiteral("Tinos"),           QStringLiteral("Nimbus Roman"),
                          QStringLiteral("DejaVu Serif"),    QStringLiteral("FreeSerif"),
                          QStringLiteral("Noto Serif")};
    // Qt looks the first family up itself. When that one is not installed, it has fontconfig
    // sort every installed font against it, once for each script the window writes in, which
    // costs about as much as the rest of the window's text. The first installed family of the
    // list goes first instead, so the lookup succeeds at once.
    const auto installed = QFontDatabase::families();
    const auto first = std::find_if(families.begin(), families.end(), [&](const QString &family) {
        return installed.contains(family, Qt::CaseInsensitive);
    });
    auto strategy = QFont::PreferQuality;
    if (first != families.end()) {
        // Every character the window shows is Cyrillic or Latin. When the face has both, Qt
        // need not prepare fallback faces for characters it lacks.
        const auto systems = QFontDatabase::writingSystems(*first);
        if (systems.contains(QFontDatabase::Cyrillic) && systems.contains(QFontDatabase::Latin)) {
            strategy = QFont::StyleStrategy(strategy | QFont::NoFontMerging);
        }
        std::rotate(families.begin(), first, first + 1);
    }
    font.setFamilies(families);
    font.setStyleHint(QFont::Serif, strategy);
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
