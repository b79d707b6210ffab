#include "tavrelon.h"

#include "announcement.h"
#include "catalogue.h"
#include "faultycatalogue.h"
#include "qtdesign.h"

#include "expectedreports.h"

#include <QAccessible>
#include <QButtonGroup>
#include <QFontDatabase>
#include <QFontInfo>
#include <QGroupBox>
#include <QInputMethodEvent>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QTextDocument>
#include <QTimer>

#include <array>
#include <functional>
#include <utility>

using FormDesign::Kind;

namespace {

QString report(int school)
{
    return QString::fromStdString(expected::reports[std::size_t(school)]);
}

// What the box shows of a text written with CR LF line ends.
QString shown(const QString &written)
{
    auto text = written;
    return text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

int checkedOption(const Tavrelon &window)
{
    return window.schoolOptions()->checkedId();
}

void clickRow(Tavrelon &window, int row)
{
    auto *list = window.namesList();
    const auto rect = list->visualItemRect(list->item(row));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rect.center());
}

void clickOption(Tavrelon &window, int school)
{
    auto *option = window.schoolOption(school);
    // Near the indicator: the button is much wider than its caption.
    QTest::mouseClick(option, Qt::LeftButton, {}, QPoint(8, option->height() / 2));
}

// What the window hands to assistive technology to say.
class Announcements
{
public:
    explicit Announcements(const Announcer *announcer)
        : m_spy(announcer, &Announcer::said)
    { }

    // What was said since the last call, once the event loop has had its turn.
    QStringList take()
    {
        QCoreApplication::processEvents();
        QStringList said;
        for (const auto &arguments : std::as_const(m_spy)) {
            said.append(arguments.at(0).toString());
        }
        m_spy.clear();
        return said;
    }

private:
    QSignalSpy m_spy;
};

QString announcement(int school)
{
    return QString::fromStdString(
        tavrelon::announcementFor(expected::reports[std::size_t(school)]));
}

} // namespace

class TestTavrelon : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void layoutFollowsTheDesign_data();
    void layoutFollowsTheDesign();
    void windowIsFixedAndTitled();
    void fontAsksForTheFirstInstalledFamily();
    void startsWithTheAssignmentAndNothingChosen();
    void tabOrderRunsBoxOptionsList();

    void clickingANameReportsItsSchool_data();
    void clickingANameReportsItsSchool();
    void clickingAnOptionReportsItAndKeepsTheName();
    void arrowKeysWalkTheWholeList();
    void keyboardChoosesOptions();
    void repeatedClicksReportAgain();
    void selectionWithoutCurrentRowIsAClick();
    void clickBelowTheLastNameKeepsTheChoice();
    void inputMethodTextDoesNotReachTheBox();
    void everyChoiceIsAnnouncedOnce_data();
    void everyChoiceIsAnnouncedOnce();
    void screenReadersHearTheGroupOnceAndTheReportAsANotification();
    void tabIntoTheGroupLandsOnTheChosenOption();
    void aReportReplacesExactlyTheCharactersShown();
    void runtimeErrorEndsTheProgram();

private:
    std::unique_ptr<Tavrelon> m_window;
};

void TestTavrelon::init()
{
    m_window = std::make_unique<Tavrelon>();
    m_window->show();
    m_window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
}

void TestTavrelon::cleanup()
{
    m_window.reset();
}

void TestTavrelon::layoutFollowsTheDesign_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("pixels");
    QTest::addColumn<QColor>("background");
    QTest::addColumn<QString>("caption");

    const QColor none;
    // Pixels at 15 twips a pixel, colours as RGB.
    QTest::newRow("Text1(0)") << "Text1(0)" << QRect(8, 128, 457, 153) << none << QString();
    QTest::newRow("Label1(0)") << "Label1(0)" << QRect(64, 0, 305, 25) << QColor(255, 192, 128)
                               << "Tavrelon, школи ";
    QTest::newRow("Frame1") << "Frame1" << QRect(8, 32, 241, 89) << QColor(192, 192, 255)
                            << "Книжовни школи";
    QTest::newRow("Option1(0)") << "Option1(0)" << QRect(8, 24, 225, 19) << QColor(128, 255, 128)
                                << "Преславска книжовна школа";
    QTest::newRow("Option1(1)") << "Option1(1)" << QRect(8, 40, 225, 19) << QColor(128, 255, 128)
                                << "Софийска книжовна школа";
    QTest::newRow("Option1(2)") << "Option1(2)" << QRect(8, 56, 225, 19) << QColor(128, 255, 128)
                                << "Търновска книжовна школа";
    QTest::newRow("List1(0)") << "List1(0)" << QRect(256, 56, 209, 61) << none << QString();
    QTest::newRow("Label1(1)") << "Label1(1)" << QRect(256, 32, 209, 25) << QColor(255, 192, 128)
                               << "Автори/граматици";
}

void TestTavrelon::layoutFollowsTheDesign()
{
    QFETCH(QString, name);
    QFETCH(QRect, pixels);
    QFETCH(QColor, background);
    QFETCH(QString, caption);

    auto *widget = m_window->findChild<QWidget *>(name);
    QVERIFY(widget);
    QCOMPARE(widget->geometry(), pixels);
    QVERIFY(widget->isVisible());
    QCOMPARE(widget->font(), m_window->font());
    if (background.isValid()) {
        QVERIFY(widget->autoFillBackground());
        QCOMPARE(widget->palette().color(widget->backgroundRole()), background);
    }
    if (auto *label = qobject_cast<QLabel *>(widget)) {
        QCOMPARE(label->text(), caption);
        QVERIFY(label->alignment().testFlag(Qt::AlignHCenter));
    } else if (auto *frame = qobject_cast<QGroupBox *>(widget)) {
        QCOMPARE(frame->title(), caption);
    } else if (auto *option = qobject_cast<QRadioButton *>(widget)) {
        QCOMPARE(option->text(), caption);
        QVERIFY(m_window->schoolFrame()->isAncestorOf(option));
    }
}

void TestTavrelon::fontAsksForTheFirstInstalledFamily()
{
    QStringList designed;
    for (const auto family : FormDesign::fontFamilies) {
        designed.append(QString::fromUtf8(family.data(), qsizetype(family.size())));
    }
    const auto installed = QFontDatabase::families();
    QString expected;
    for (const auto &family : designed) {
        if (installed.contains(family, Qt::CaseInsensitive)) {
            expected = family;
            break;
        }
    }
    if (expected.isEmpty()) {
        QSKIP("none of the window's font families is installed");
    }

    const auto font = FormDesign::windowFont();
    auto families = font.families();
    QCOMPARE(families.first(), expected);
    QCOMPARE(QFontInfo(font).family(), expected);
    // Only the order changes: every family stays in the list, the others in designed order.
    families.removeFirst();
    auto rest = designed;
    rest.removeOne(expected);
    QCOMPARE(families, rest);
    QCOMPARE(font.styleHint(), QFont::Serif);
}

void TestTavrelon::windowIsFixedAndTitled()
{
    QCOMPARE(m_window->size(), QSize(482, 287));
    QCOMPARE(m_window->minimumSize(), m_window->maximumSize());
    QCOMPARE(m_window->windowTitle(), QStringLiteral("www.example.org - Tavrelon, школи"));
    QCOMPARE(m_window->palette().color(QPalette::Window), QColor(192, 192, 255));
    const auto flags = m_window->windowFlags();
    QVERIFY(!(flags & Qt::WindowMinimizeButtonHint));
    QVERIFY(!(flags & Qt::WindowMaximizeButtonHint));
    QVERIFY(flags & Qt::WindowCloseButtonHint);

    const QFontInfo font(m_window->font());
    QCOMPARE(m_window->font().pointSize(), 12);
    QCOMPARE(font.weight(), int(QFont::Normal));
    QVERIFY(!font.italic());
    // No hidden list: nothing in the window but the designed controls and their parts.
    QCOMPARE(m_window->findChildren<QListWidget *>().size(), 1);
}

void TestTavrelon::startsWithTheAssignmentAndNothingChosen()
{
    const auto written = QString::fromUtf8(FormDesign::assignmentText());
    QCOMPARE(written.count(QStringLiteral("\r\n")), 7);
    QVERIFY(written.contains(QStringLiteral("Софийска,  Търновска.")));
    QVERIFY(written.contains(QStringLiteral("между  книжовни")));
    QCOMPARE(QString::fromStdString(m_window->resultText()), written);
    QCOMPARE(m_window->resultBox()->toPlainText(), shown(written));

    QCOMPARE(checkedOption(*m_window), -1);
    QVERIFY(m_window->namesList()->selectedItems().isEmpty());
    QCOMPARE(m_window->namesList()->count(), 18);
    QCOMPARE(QApplication::focusWidget(), m_window->resultBox());
    QCOMPARE(m_window->resultBox()->textCursor().position(), 0);
    QCOMPARE(m_window->resultBox()->verticalScrollBar()->value(), 0);
    QCOMPARE(m_window->form().clickSource(), 0);
}

void TestTavrelon::tabOrderRunsBoxOptionsList()
{
    auto *box = m_window->resultBox();
    QList<QWidget *> order;
    for (auto *widget = box->nextInFocusChain(); widget != box;
         widget = widget->nextInFocusChain()) {
        if ((widget->focusPolicy() & Qt::TabFocus) != 0) {
            order.append(widget);
        }
    }
    const QList<QWidget *> designed {m_window->schoolOption(0), m_window->schoolOption(1),
                                     m_window->schoolOption(2), m_window->namesList()};
    QCOMPARE(order, designed);

    QTest::keyClick(box, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), m_window->schoolOption(0));
    // Tabbing into the group does not choose a school.
    QCOMPARE(checkedOption(*m_window), -1);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), m_window->namesList());
    // Nor does tabbing into the list choose a name.
    QVERIFY(m_window->namesList()->selectedItems().isEmpty());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), box);
}

void TestTavrelon::clickingANameReportsItsSchool_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("school");
    for (int row = 0; row < 18; ++row) {
        QTest::addRow("row %d", row) << row << expected::schoolOfRow[std::size_t(row)];
    }
}

void TestTavrelon::clickingANameReportsItsSchool()
{
    QFETCH(int, row);
    QFETCH(int, school);
    QSignalSpy reports(m_window->resultBox(), &QPlainTextEdit::textChanged);

    clickRow(*m_window, row);

    QCOMPARE(m_window->namesList()->currentRow(), row);
    QVERIFY(m_window->namesList()->item(row)->isSelected());
    QCOMPARE(checkedOption(*m_window), school);
    QCOMPARE(QString::fromStdString(m_window->resultText()), report(school));
    QCOMPARE(m_window->resultBox()->toPlainText(), shown(report(school)));
    QCOMPARE(reports.count(), 1);
    QCOMPARE(m_window->form().clickSource(), 0);
    QCOMPARE(m_window->resultBox()->textCursor().position(), 0);
}

void TestTavrelon::clickingAnOptionReportsItAndKeepsTheName()
{
    clickRow(*m_window, 13); // Наум Преславски, school 0
    QCOMPARE(checkedOption(*m_window), 0);

    QSignalSpy reports(m_window->resultBox(), &QPlainTextEdit::textChanged);
    for (const int school : {2, 1, 0}) {
        clickOption(*m_window, school);
        QCOMPARE(checkedOption(*m_window), school);
        QCOMPARE(QString::fromStdString(m_window->resultText()), report(school));
        QCOMPARE(m_window->namesList()->currentRow(), 13);
        QVERIFY(m_window->namesList()->item(13)->isSelected());
    }
    QCOMPARE(reports.count(), 3);
}

void TestTavrelon::arrowKeysWalkTheWholeList()
{
    auto *list = m_window->namesList();
    list->setFocus();
    QSignalSpy reports(m_window->resultBox(), &QPlainTextEdit::textChanged);
    for (int row = 0; row < 18; ++row) {
        QTest::keyClick(list, Qt::Key_Down);
        QCOMPARE(list->currentRow(), row);
        const auto school = expected::schoolOfRow[std::size_t(row)];
        QCOMPARE(checkedOption(*m_window), school);
        QCOMPARE(QString::fromStdString(m_window->resultText()), report(school));
        QCOMPARE(reports.count(), row + 1);
    }
    // At the end of the list the key changes nothing, and no report is written.
    QTest::keyClick(list, Qt::Key_Down);
    QCOMPARE(reports.count(), 18);
    QTest::keyClick(list, Qt::Key_Home);
    QCOMPARE(list->currentRow(), 0);
    QCOMPARE(checkedOption(*m_window), 2);
    QCOMPARE(reports.count(), 19);
}

void TestTavrelon::keyboardChoosesOptions()
{
    auto *first = m_window->schoolOption(0);
    first->setFocus();
    QSignalSpy reports(m_window->resultBox(), &QPlainTextEdit::textChanged);

    QTest::keyClick(first, Qt::Key_Space);
    QCOMPARE(checkedOption(*m_window), 0);
    QCOMPARE(QString::fromStdString(m_window->resultText()), report(0));

    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
    QCOMPARE(checkedOption(*m_window), 1);
    QCOMPARE(QString::fromStdString(m_window->resultText()), report(1));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
    QCOMPARE(checkedOption(*m_window), 2);
    QCOMPARE(QString::fromStdString(m_window->resultText()), report(2));
    QCOMPARE(reports.count(), 3);
    QVERIFY(m_window->namesList()->selectedItems().isEmpty());
}

void TestTavrelon::repeatedClicksReportAgain()
{
    QSignalSpy reports(m_window->resultBox(), &QPlainTextEdit::textChanged);
    clickRow(*m_window, 5); // Евтимий Търновски, school 2
    clickRow(*m_window, 5);
    QCOMPARE(QString::fromStdString(m_window->resultText()), report(2));
    QCOMPARE(reports.count(), 2);

    // The name stays selected while another school is chosen; clicking it again brings its
    // school back.
    clickOption(*m_window, 0);
    QCOMPARE(QString::fromStdString(m_window->resultText()), report(0));
    clickRow(*m_window, 5);
    QCOMPARE(checkedOption(*m_window), 2);
    QCOMPARE(QString::fromStdString(m_window->resultText()), report(2));
    QCOMPARE(reports.count(), 4);

    // Clicking the checked option again leaves its report.
    clickOption(*m_window, 2);
    QCOMPARE(QString::fromStdString(m_window->resultText()), report(2));

    // A double click is one choice.
    const auto rect = m_window->namesList()->visualItemRect(m_window->namesList()->item(12));
    QTest::mouseDClick(m_window->namesList()->viewport(), Qt::LeftButton, {}, rect.center());
    QCOMPARE(QString::fromStdString(m_window->resultText()), report(1));
    QCOMPARE(checkedOption(*m_window), 1);
}

void TestTavrelon::selectionWithoutCurrentRowIsAClick()
{
    // Assistive technology selects an item without making it current.
    auto *list = m_window->namesList();
    list->selectionModel()->select(list->model()->index(6, 0), QItemSelectionModel::ClearAndSelect);
    QCOMPARE(list->currentRow(), -1);
    QCOMPARE(checkedOption(*m_window), 1);
    QCOMPARE(QString::fromStdString(m_window->resultText()), report(1));
    QVERIFY(m_window->resultText().find("йеромонах Гаврил \r\n") != std::string::npos);

    // And an option checked by code counts as its click.
    m_window->schoolOption(0)->setChecked(true);
    QCOMPARE(QString::fromStdString(m_window->resultText()), report(0));
}

void TestTavrelon::clickBelowTheLastNameKeepsTheChoice()
{
    // Scrolled to the end, the list has a strip of empty space under its last row.
    auto *list = m_window->namesList();
    list->scrollToBottom();
    clickRow(*m_window, 16); // Теодосий Търновски, school 2
    clickOption(*m_window, 0);
    const auto last = list->visualItemRect(list->item(17));
    const QPoint below(last.center().x(), last.bottom() + 2);
    QVERIFY(list->viewport()->rect().contains(below));
    QVERIFY(!list->indexAt(below).isValid());

    QSignalSpy reports(m_window->resultBox(), &QPlainTextEdit::textChanged);
    QSignalSpy selections(list, &QListWidget::itemSelectionChanged);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, below);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, below);
    QVERIFY(list->item(16)->isSelected());
    QCOMPARE(selections.count(), 0);
    QCOMPARE(reports.count(), 0);
    QCOMPARE(checkedOption(*m_window), 0);
    QCOMPARE(QString::fromStdString(m_window->resultText()), report(0));

    // Ctrl+click on the chosen name still takes it back, and that is no choice either.
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::ControlModifier,
                      list->visualItemRect(list->item(16)).center());
    QVERIFY(list->selectedItems().isEmpty());
    QCOMPARE(reports.count(), 0);
    QCOMPARE(m_window->form().clickSource(), 0);
}

void TestTavrelon::inputMethodTextDoesNotReachTheBox()
{
    // An input method (a phonetic layout, a compose key) sends its text only to a control that
    // says it takes such text: the box says no, and drops the text if it comes all the same.
    clickRow(*m_window, 3); // Димитър Кантакузин, school 2
    auto *box = m_window->resultBox();
    box->setFocus();
    QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
    QVERIFY(box->textCursor().hasSelection());
    QInputMethodQueryEvent query(Qt::ImEnabled);
    QCoreApplication::sendEvent(box, &query);
    QVERIFY(!query.value(Qt::ImEnabled).toBool());

    QInputMethodEvent composing(QStringLiteral("жаба"), {});
    QCoreApplication::sendEvent(box, &composing);
    QInputMethodEvent commit;
    commit.setCommitString(QStringLiteral("жаба"));
    QCoreApplication::sendEvent(box, &commit);
    QCOMPARE(box->toPlainText(), shown(report(2)));
    QCOMPARE(QString::fromStdString(m_window->resultText()), report(2));

    // Assistive technology edits through the box's accessible text, past read-only: the box
    // puts its report back.
    auto *accessible = QAccessible::queryAccessibleInterface(box);
    QVERIFY(accessible && accessible->editableTextInterface());
    accessible->editableTextInterface()->insertText(0, QStringLiteral("жаба"));
    accessible->editableTextInterface()->deleteText(10, 20);
    QTRY_COMPARE(box->toPlainText(), shown(report(2)));
    QCOMPARE(box->textCursor().position(), 0);
}

void TestTavrelon::everyChoiceIsAnnouncedOnce_data()
{
    // A choice made by the user, then the school whose report it announces.
    using Action = std::function<void(Tavrelon &)>;
    QTest::addColumn<Action>("setUp");
    QTest::addColumn<Action>("choose");
    QTest::addColumn<int>("school");

    const Action nothing = [](Tavrelon &) {
    };
    const auto key = [](QWidget *(*target)(Tavrelon &), Qt::Key key) {
        return Action([target, key](Tavrelon &w) { QTest::keyClick(target(w), key); });
    };
    const auto list = [](Tavrelon &w) -> QWidget * {
        w.namesList()->setFocus();
        return w.namesList();
    };
    const auto focused = [](Tavrelon &) {
        return QApplication::focusWidget();
    };
    const auto firstOption = [](Tavrelon &w) -> QWidget * {
        w.schoolOption(0)->setFocus();
        return w.schoolOption(0);
    };

    QTest::newRow("name clicked") << nothing << Action([](Tavrelon &w) { clickRow(w, 12); }) << 1;
    QTest::newRow("chosen name clicked again") << Action([](Tavrelon &w) { clickRow(w, 12); })
                                               << Action([](Tavrelon &w) { clickRow(w, 12); }) << 1;
    QTest::newRow("option clicked")
        << nothing << Action([](Tavrelon &w) { clickOption(w, 2); }) << 2;
    QTest::newRow("same report from another name")
        << Action([](Tavrelon &w) { clickRow(w, 6); })
        << Action([](Tavrelon &w) { clickRow(w, 14); }) << 1;
    QTest::newRow("first Down into the list") << nothing << key(list, Qt::Key_Down) << 2;
    QTest::newRow("first Space into the list") << nothing << key(list, Qt::Key_Space) << 2;
    QTest::newRow("Down in the list") << key(list, Qt::Key_Down) << key(focused, Qt::Key_Down) << 2;
    QTest::newRow("End in the list") << key(list, Qt::Key_Down) << key(focused, Qt::Key_End) << 0;
    QTest::newRow("Space on an option") << nothing << key(firstOption, Qt::Key_Space) << 0;
    QTest::newRow("Down on the options")
        << key(firstOption, Qt::Key_Space) << key(focused, Qt::Key_Down) << 1;
}

void TestTavrelon::everyChoiceIsAnnouncedOnce()
{
    using Action = std::function<void(Tavrelon &)>;
    QFETCH(Action, setUp);
    QFETCH(Action, choose);
    QFETCH(int, school);
    Announcements announcements(m_window->announcer());
    // The assignment shown at start is not announced.
    QVERIFY(announcements.take().isEmpty());

    setUp(*m_window);
    announcements.take();
    choose(*m_window);
    QCOMPARE(QString::fromStdString(m_window->resultText()), report(school));
    QCOMPARE(announcements.take(), QStringList {announcement(school)});
    QVERIFY(announcement(school).startsWith(m_window->schoolOption(school)->text() +
                                            QStringLiteral(". Представители: ")));
}

void TestTavrelon::screenReadersHearTheGroupOnceAndTheReportAsANotification()
{
    // The box's and the list's descriptions are said the first time the focus comes, not at
    // every visit.
    auto *box = m_window->resultBox();
    QVERIFY(!box->accessibleDescription().isEmpty());
    QVERIFY(!m_window->namesList()->accessibleDescription().isEmpty());
    m_window->namesList()->setFocus();
    QVERIFY(box->accessibleDescription().isEmpty());
    QVERIFY(!m_window->namesList()->accessibleDescription().isEmpty());
    box->setFocus();
    QVERIFY(m_window->namesList()->accessibleDescription().isEmpty());

    // Orca says the name of a radio button's label with each option; the group is said once,
    // as the container the focus enters.
    for (int school = 0; school < 3; ++school) {
        auto *option = QAccessible::queryAccessibleInterface(m_window->schoolOption(school));
        QVERIFY(option->relations(QAccessible::Label).isEmpty());
        QVERIFY(option->text(QAccessible::Description).isEmpty());
        auto *group = option->parent();
        QCOMPARE(group->role(), QAccessible::Grouping);
        QCOMPARE(group->text(QAccessible::Name), m_window->schoolFrame()->title());
    }
#if QT_VERSION < QT_VERSION_CHECK(6, 8, 0)
    auto *notification = QAccessible::queryAccessibleInterface(m_window->announcer());
    QCOMPARE(notification->role(), QAccessible::Notification);
    QVERIFY(m_window->announcer()->isHidden());
    clickOption(*m_window, 1);
    QTRY_VERIFY(m_window->announcer()->isVisible());
    QCOMPARE(notification->text(QAccessible::Name), announcement(1));
    QVERIFY(m_window->announcer()->size().isEmpty());
    QCOMPARE(m_window->announcer()->focusPolicy(), Qt::NoFocus);
#endif
}

void TestTavrelon::tabIntoTheGroupLandsOnTheChosenOption()
{
    auto *box = m_window->resultBox();
    auto *list = m_window->namesList();
    for (const int school : {1, 0, 2}) {
        clickOption(*m_window, school);
        box->setFocus();
        QTest::keyClick(box, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), m_window->schoolOption(school));
        list->setFocus();
        QTest::keyClick(list, Qt::Key_Backtab);
        QCOMPARE(QApplication::focusWidget(), m_window->schoolOption(school));
        QCOMPARE(checkedOption(*m_window), school);
    }
    // Also when the school was chosen through a name.
    clickRow(*m_window, 12);
    list->setFocus();
    QTest::keyClick(list, Qt::Key_Backtab);
    QCOMPARE(QApplication::focusWidget(), m_window->schoolOption(1));
    // An arrow key then chooses the next school at once.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
    QCOMPARE(checkedOption(*m_window), 2);
}

void TestTavrelon::aReportReplacesExactlyTheCharactersShown()
{
    // Assistive technology learns of a new report from the box's change: from 0, the old
    // text's characters removed, the new one's added. One more removed (the document's closing
    // paragraph mark) sent a screen reader past the end of the box.
    auto *document = m_window->resultBox()->document();
    QSignalSpy changes(document, &QTextDocument::contentsChange);
    QSignalSpy reports(m_window->resultBox(), &QPlainTextEdit::textChanged);
    auto before = m_window->resultBox()->toPlainText();
    // The assignment, then the same report twice (two names of one school), then another.
    for (const auto &[row, school] : {std::pair {0, 2}, std::pair {1, 2}, std::pair {13, 0}}) {
        changes.clear();
        clickRow(*m_window, row);
        const auto after = shown(report(school));
        QCOMPARE(m_window->resultBox()->toPlainText(), after);
        QCOMPARE(changes.count(), 1);
        QCOMPARE(changes.at(0).at(0).toInt(), 0);
        QCOMPARE(changes.at(0).at(1).toInt(), before.size());
        QCOMPARE(changes.at(0).at(2).toInt(), after.size());
        QCOMPARE(m_window->resultBox()->textCursor().position(), 0);
        QCOMPARE(m_window->resultBox()->verticalScrollBar()->value(), 0);
        before = after;
    }
    QCOMPARE(reports.count(), 3);
    QVERIFY(!document->isUndoAvailable());
}

void TestTavrelon::runtimeErrorEndsTheProgram()
{
    m_window = std::make_unique<Tavrelon>(tavrelon::faultyCatalogue());
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));

    QString message;
    QTimer::singleShot(0, m_window.get(), [this] { clickRow(*m_window, 1); });
    // The message box runs its own loop; read it and dismiss it from there.
    QTimer closer;
    connect(&closer, &QTimer::timeout, this, [&message] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            message = box->text();
            box->accept();
        }
    });
    closer.start(20);
    const int status = QCoreApplication::exec();

    QCOMPARE(status, 1);
    QVERIFY2(message.contains(QStringLiteral("Option1(7)")), qPrintable(message));
    // Nothing was reported; the row is selected, no option is.
    QCOMPARE(checkedOption(*m_window), -1);
    QVERIFY(m_window->resultText().find("Избрана") == std::string::npos);
    // After the error nothing more is handled.
    clickRow(*m_window, 0);
    QVERIFY(m_window->resultText().find("Избрана") == std::string::npos);
}

QTEST_MAIN(TestTavrelon)
#include "tst_tavrelon.moc"
