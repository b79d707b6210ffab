#include "tavrelon.h"

#include "fontconfigsetup.h"
#include "qtdesign.h"

#include <QApplication>
#include <QButtonGroup>
#include <QFontDatabase>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QRawFont>
#include <QSet>
#include <QTest>

#include <fontconfig/fontconfig.h>

#include <memory>

// The face the window's font resolves to on this machine, and whether it draws everything the
// window shows. Also run under fontconfig setups without Times New Roman or any face of its
// metrics; TAVRELON_EXPECTED_FONT names the serif face the fallback must then land on. Like
// the program, it has fontconfig's configuration built before Qt starts.
class TestFonts : public QObject
{
    Q_OBJECT
public:
    explicit TestFonts(bool configurationBuilt)
        : m_configurationBuilt(configurationBuilt)
    { }

private slots:
    void initTestCase();
    void configurationAsFontconfigLoadsIt() const;
    void resolvesToAFaceOfTheChain();
    void faceDrawsEveryCharacterShown();
    void applicationFontsStayAsTheThemeSetThem();

private:
    static QString resolvedFamily();

    bool m_configurationBuilt;
    // As the platform theme set them, before any window was built.
    QFont m_applicationFont;
    QFont m_menuFont;
};

namespace {

// Every text the window puts on screen: captions, names, the assignment and the three
// reports. (The title is drawn by the window manager, in its own font.)
QString everythingShown()
{
    Tavrelon window;
    QStringList texts {window.heading()->text(), window.namesCaption()->text(),
                       window.schoolFrame()->title(), window.resultBox()->toPlainText()};
    for (auto *option : window.schoolOptions()->buttons()) {
        texts.append(option->text());
    }
    for (int row = 0; row < window.namesList()->count(); ++row) {
        texts.append(window.namesList()->item(row)->text());
    }
    for (int school = 0; school < 3; ++school) {
        window.schoolOption(school)->setChecked(true);
        texts.append(window.resultBox()->toPlainText());
    }
    return texts.join(QLatin1Char('\n'));
}

} // namespace

namespace {

QStringList configurationFiles(FcConfig *config)
{
    QStringList files;
    auto *list = FcConfigGetConfigFiles(config);
    while (const auto *file = FcStrListNext(list)) {
        files.append(QString::fromUtf8(reinterpret_cast<const char *>(file)));
    }
    FcStrListDone(list);
    files.sort();
    return files;
}

QStringList systemFonts(FcConfig *config)
{
    QStringList fonts;
    const auto *set = FcConfigGetFonts(config, FcSetSystem);
    for (int i = 0; set != nullptr && i < set->nfont; ++i) {
        FcChar8 *file = nullptr;
        if (FcPatternGetString(set->fonts[i], FC_FILE, 0, &file) == FcResultMatch) {
            fonts.append(QString::fromUtf8(reinterpret_cast<const char *>(file)));
        }
    }
    fonts.sort();
    return fonts;
}

} // namespace

void TestFonts::initTestCase()
{
    m_applicationFont = QApplication::font();
    m_menuFont = QApplication::font("QMenu");
}

void TestFonts::configurationAsFontconfigLoadsIt() const
{
    QVERIFY2(m_configurationBuilt, "fontconfig's own initialisation had to take over");
    // The same files (FONTCONFIG_FILE, the user's own) and fonts as fontconfig's own loading.
    std::unique_ptr<FcConfig, decltype(&FcConfigDestroy)> library(FcInitLoadConfigAndFonts(),
                                                                  &FcConfigDestroy);
    QVERIFY(library);
    auto *current = FcConfigGetCurrent();
    const auto files = configurationFiles(current);
    QCOMPARE(files, configurationFiles(library.get()));
    QCOMPARE(systemFonts(current), systemFonts(library.get()));
    QVERIFY(!systemFonts(current).isEmpty());
    const auto own = qEnvironmentVariable("FONTCONFIG_FILE");
    if (!own.isEmpty()) {
        QVERIFY2(files.contains(own), qPrintable(files.join(QLatin1Char(' '))));
    }
}

// The window briefly makes its font the application's while it builds the result box: the
// default and the fonts of Qt's own popups (the box's context menu, message boxes) come back.
void TestFonts::applicationFontsStayAsTheThemeSetThem()
{
    Tavrelon window;
    QCOMPARE(QApplication::font(), m_applicationFont);
    QCOMPARE(QApplication::font("QMenu"), m_menuFont);
    const std::unique_ptr<QMenu> menu(window.resultBox()->createStandardContextMenu());
    QCOMPARE(menu->font(), m_menuFont);
    QCOMPARE(QFontInfo(window.resultBox()->font()).family(), resolvedFamily());
    QCOMPARE(window.resultBox()->font().pointSize(), FormDesign::windowFont().pointSize());
}

QString TestFonts::resolvedFamily()
{
    return QFontInfo(FormDesign::windowFont()).family();
}

void TestFonts::resolvesToAFaceOfTheChain()
{
    const auto family = resolvedFamily();
    const auto chain = FormDesign::windowFont().families();
    qInfo("the window's font resolves to %s", qPrintable(family));

    const auto expected = qEnvironmentVariable("TAVRELON_EXPECTED_FONT");
    if (expected.isEmpty()) {
        // Every face of the chain is a serif one; landing outside it means fontconfig chose.
        QVERIFY2(chain.contains(family), qPrintable(family));
        return;
    }
    QCOMPARE(family, expected);
    // The setup really lacks every face the chain would have taken first.
    for (const auto &face : chain) {
        if (face == expected) {
            break;
        }
        QVERIFY2(!QFontDatabase::hasFamily(face), qPrintable(face));
    }
}

void TestFonts::faceDrawsEveryCharacterShown()
{
    const auto family = resolvedFamily();
    // That face alone: no other face may stand in for a missing glyph.
    QFont face(family);
    face.setPointSize(FormDesign::windowFont().pointSize());
    face.setStyleStrategy(QFont::NoFontMerging);
    QCOMPARE(QFontInfo(face).family(), family);
    const QFontMetrics metrics(face);
    const auto raw = QRawFont::fromFont(face);
    QVERIFY(raw.isValid());

    const auto shown = everythingShown();
    const auto all = shown.toUcs4();
    QSet<char32_t> characters(all.cbegin(), all.cend());
    characters.remove(U'\n');
    QString missing;
    for (const char32_t character : std::as_const(characters)) {
        if (!metrics.inFontUcs4(character) || !raw.supportsCharacter(character)) {
            missing += QString::fromUcs4(&character, 1);
        }
    }
    qInfo("%lld different characters shown, each looked up in %s", qlonglong(characters.size()),
          qPrintable(family));
    QVERIFY2(missing.isEmpty(), qPrintable(QStringLiteral("missing: ") + missing));
}

int main(int argc, char *argv[])
{
    const bool configurationBuilt = FontconfigSetup::load();
    QApplication application(argc, argv);
    QApplication::setAttribute(Qt::AA_Use96Dpi, true);
    TestFonts test(configurationBuilt);
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}
#include "tst_fonts.moc"
