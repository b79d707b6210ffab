#include "tavrelon.h"

#include "expectedreports.h"

#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionGroupBox>
#include <QTest>
#include <QTextDocument>

// The window at the scale factor the test runs with (QT_SCALE_FACTOR, 1 unless set): the
// same logical layout in scaled device pixels, every caption and name within its control.
class TestScaling : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void windowCoversScaledDevicePixels();
    void captionsFitTheirControls();
    void namesFitTheList();
    void reportLinesFitTheBox();

private:
    std::unique_ptr<Tavrelon> m_window;
    qreal m_scale = 1;
};

void TestScaling::init()
{
    bool ok = false;
    m_scale = qEnvironmentVariable("QT_SCALE_FACTOR", QStringLiteral("1")).toDouble(&ok);
    QVERIFY(ok);
    m_window = std::make_unique<Tavrelon>();
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
}

void TestScaling::cleanup()
{
    m_window.reset();
}

void TestScaling::windowCoversScaledDevicePixels()
{
    QCOMPARE(m_window->devicePixelRatio(), m_scale);
    QCOMPARE(m_window->size(), QSize(482, 287));
    QCOMPARE(m_window->size() * m_window->devicePixelRatio(), QSize(482, 287) * m_scale);
    // Drawn at the full device resolution, not drawn small and blown up.
    const auto picture = m_window->grab();
    QCOMPARE(picture.size(), QSize(482, 287) * m_scale);
    QCOMPARE(picture.devicePixelRatio(), m_scale);
}

void TestScaling::captionsFitTheirControls()
{
    for (auto *label : {m_window->heading(), m_window->namesCaption()}) {
        const auto metrics = label->fontMetrics();
        const auto space = label->contentsRect();
        QVERIFY2(metrics.horizontalAdvance(label->text()) <= space.width(),
                 qPrintable(label->text()));
        QVERIFY2(metrics.height() <= space.height(), qPrintable(label->text()));
    }

    auto *frame = m_window->schoolFrame();
    QStyleOptionGroupBox option;
    option.initFrom(frame);
    option.text = frame->title();
    option.subControls = QStyle::SC_GroupBoxLabel;
    const auto title = frame->style()->subControlRect(QStyle::CC_GroupBox, &option,
                                                      QStyle::SC_GroupBoxLabel, frame);
    QVERIFY(frame->fontMetrics().horizontalAdvance(frame->title()) <= title.width());
    QVERIFY(frame->rect().contains(title));

    for (int school = 0; school < 3; ++school) {
        auto *button = m_window->schoolOption(school);
        // Indicator, spacing and caption on one line; the rows overlap as designed, so only
        // the caption's own line height is held to the button's height.
        QVERIFY2(button->sizeHint().width() <= button->width(), qPrintable(button->text()));
        QVERIFY2(button->fontMetrics().height() <= button->height(), qPrintable(button->text()));
        QVERIFY(frame->contentsRect().contains(button->geometry()));
    }
}

void TestScaling::namesFitTheList()
{
    auto *list = m_window->namesList();
    const auto metrics = list->fontMetrics();
    for (int row = 0; row < list->count(); ++row) {
        const auto *item = list->item(row);
        const auto cell = list->visualItemRect(item);
        QVERIFY2(metrics.horizontalAdvance(item->text()) <= cell.width(), qPrintable(item->text()));
        QVERIFY2(metrics.height() <= cell.height(), qPrintable(item->text()));
        QVERIFY(cell.right() < list->viewport()->width());
    }
}

void TestScaling::reportLinesFitTheBox()
{
    // Each line of a report is one line on screen: none is long enough to wrap.
    auto *box = m_window->resultBox();
    const auto margin = box->document()->documentMargin();
    const auto width = box->viewport()->width() - 2 * margin;
    for (const auto &report : expected::reports) {
        const auto lines = QString::fromStdString(report).split(QStringLiteral("\r\n"));
        for (const auto &line : lines) {
            QVERIFY2(box->fontMetrics().horizontalAdvance(line) <= width, qPrintable(line));
        }
    }
}

QTEST_MAIN(TestScaling)
#include "tst_scaling.moc"
