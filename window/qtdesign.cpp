#include "qtdesign.h"

#include <QFontDatabase>
#include <QStringList>

#include <algorithm>

namespace FormDesign {

QFont windowFont()
{
    QStringList families;
    for (const auto family : fontFamilies) {
        families.append(QString::fromUtf8(family.data(), qsizetype(family.size())));
    }
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
    QFont font;
    font.setFamilies(families);
    font.setStyleHint(QFont::Serif, strategy);
    font.setPointSize(fontPointSize);
    font.setWeight(QFont::Weight(fontWeight));
    font.setItalic(false);
    font.setUnderline(false);
    font.setStrikeOut(false);
    return font;
}

} // namespace FormDesign
