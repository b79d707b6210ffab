#include "formdesign.h"
#include "tavrelon.h"

#include <QApplication>
#include <QImage>
#include <QListWidget>
#include <QMap>
#include <QPalette>
#include <QScreen>
#include <QStyle>
#include <QTest>

#include <functional>
#include <memory>

// The window under the desktop's colour schemes a learner may have on: every control's text
// must read on what it is drawn on, at WCAG's 4.5:1, before and after a choice. Measured on the
// drawn pixels: the colour most of the control's text area has is its background, and the
// pixel that stands out most from it is its text (the core of a glyph).
//
// textReadsOnItsBackground hands the window the schemes' palettes itself. desktopThemeReads
// takes whatever the desktop's platform theme gives it on a real display and reads the pixels
// back from the screen; tests/themes/run-theme-test runs it under KDE's and GTK's dark themes.
class TestThemes : public QObject
{
    Q_OBJECT

private slots:
    void textReadsOnItsBackground_data();
    void textReadsOnItsBackground();
    void desktopThemeReads();
    void cleanup();
};

namespace {

std::uint32_t toBgr(QRgb rgb)
{
    return std::uint32_t(qRed(rgb)) | (std::uint32_t(qGreen(rgb)) << 8U) |
        (std::uint32_t(qBlue(rgb)) << 16U);
}

QPalette scheme(const QColor &window, const QColor &text, const QColor &base,
                const QColor &highlight, const QColor &highlightedText)
{
    QPalette palette(window);
    palette.setColor(QPalette::WindowText, text);
    palette.setColor(QPalette::Text, text);
    palette.setColor(QPalette::ButtonText, text);
    palette.setColor(QPalette::Base, base);
    palette.setColor(QPalette::AlternateBase, base);
    palette.setColor(QPalette::Button, window);
    palette.setColor(QPalette::Highlight, highlight);
    palette.setColor(QPalette::HighlightedText, highlightedText);
    return palette;
}

// The contrast of the pixel that stands out most against the area's most common colour.
double textContrast(const QImage &area)
{
    QMap<QRgb, int> counts;
    for (int y = 0; y < area.height(); ++y) {
        for (int x = 0; x < area.width(); ++x) {
            ++counts[area.pixel(x, y) | 0xFF000000U];
        }
    }
    QRgb background = 0;
    int most = 0;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it) {
        if (it.value() > most) {
            most = it.value();
            background = it.key();
        }
    }
    double best = 1.0;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it) {
        best = std::max(best, FormDesign::contrastRatio(toBgr(background), toBgr(it.key())));
    }
    return best;
}

} // namespace

void TestThemes::textReadsOnItsBackground_data()
{
    QTest::addColumn<QPalette>("palette");
    QTest::newRow("default") << QApplication::palette();
    // KDE's Breeze Dark and GTK's Adwaita dark, as their platform themes hand them to Qt.
    QTest::newRow("breeze-dark") << scheme(QColor(42, 46, 50), QColor(252, 252, 252),
                                           QColor(27, 30, 32), QColor(61, 174, 233),
                                           QColor(252, 252, 252));
    QTest::newRow("adwaita-dark") << scheme(QColor(53, 53, 53), QColor(238, 238, 236),
                                            QColor(45, 45, 45), QColor(21, 83, 158),
                                            QColor(255, 255, 255));
    // A high-contrast scheme: white and yellow on black.
    QTest::newRow("high-contrast")
        << scheme(Qt::black, Qt::white, Qt::black, QColor(0, 255, 255), Qt::black);
}

namespace {

using Grab = std::function<QImage(QWidget *, const QRect &)>;

// Every control's text against its background, in the pictures grab() gives of them.
void checkContrast(Tavrelon &window, const Grab &grab, const char *when)
{
    for (const auto &control : FormDesign::controls) {
        const auto name = control.index < 0
            ? QString::fromLatin1(control.name)
            : QStringLiteral("%1(%2)").arg(QLatin1String(control.name)).arg(control.index);
        auto *widget = window.findChild<QWidget *>(name);
        QVERIFY2(widget != nullptr, qPrintable(name));
        auto area = widget->rect();
        // The text, not the scroll bar beside it or the frame's border around the options.
        if (control.kind == FormDesign::Kind::ListBox ||
            control.kind == FormDesign::Kind::TextBox) {
            area.setRight(area.right() - widget->style()->pixelMetric(QStyle::PM_ScrollBarExtent) -
                          2);
            area.adjust(2, 2, 0, -2);
        } else if (control.kind == FormDesign::Kind::Frame) {
            area.setHeight(FormDesign::twipsToPixels(360));
        }
        const double contrast = textContrast(grab(widget, area));
        QVERIFY2(contrast >= 4.5,
                 qPrintable(QStringLiteral("%1 %2: contrast %3:1")
                                .arg(name, QLatin1String(when))
                                .arg(contrast, 0, 'f', 2)));
    }
}

void chooseName(Tavrelon &window, int row)
{
    auto *names = window.findChild<QListWidget *>(QStringLiteral("List1(0)"));
    QVERIFY(names != nullptr);
    // As a click does: the list takes the focus, and its selection is drawn as the active one.
    names->setFocus();
    names->setCurrentRow(row);
    QCoreApplication::processEvents();
}

} // namespace

void TestThemes::textReadsOnItsBackground()
{
    QFETCH(QPalette, palette);
    QApplication::setPalette(palette);
    Tavrelon window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    const Grab grab = [](QWidget *widget, const QRect &area) {
        return widget->grab(area).toImage();
    };
    checkContrast(window, grab, "at start");
    chooseName(window, 1);
    checkContrast(window, grab, "after a choice");
}

void TestThemes::desktopThemeReads()
{
    if (QGuiApplication::platformName() == QLatin1String("offscreen")) {
        QSKIP("needs a real display and the desktop's platform theme (run-theme-test)");
    }
    // A dark scheme the platform theme did not hand on would make this test prove nothing.
    if (qEnvironmentVariableIsSet("TAVRELON_EXPECT_DARK")) {
        QVERIFY2(QApplication::palette().color(QPalette::Window).lightness() < 128,
                 qPrintable(QApplication::palette().color(QPalette::Window).name()));
    }
    Tavrelon window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    // Active, as it is under the learner's pointer: the selection takes its active colours.
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    QTest::qWait(300);

    // What the X server shows, not what the window would paint.
    QImage screen;
    const auto shoot = [&] {
        QCoreApplication::processEvents();
        QTest::qWait(200);
        screen = window.screen()->grabWindow(window.winId()).toImage();
    };
    const Grab grab = [&](QWidget *widget, const QRect &area) {
        return screen.copy(area.translated(widget->mapTo(&window, QPoint(0, 0))));
    };
    shoot();
    checkContrast(window, grab, "at start");
    chooseName(window, 1);
    shoot();
    checkContrast(window, grab, "after a choice");
    const auto picture = qEnvironmentVariable("TAVRELON_THEME_SCREENSHOT");
    if (!picture.isEmpty()) {
        QVERIFY(screen.save(picture));
    }
}

void TestThemes::cleanup()
{
    QApplication::setPalette(QPalette());
}

QTEST_MAIN(TestThemes)
#include "tst_themes.moc"
