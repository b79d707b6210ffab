// A seeded storm of user actions on the real window: clicks and double clicks that hit and miss,
// keys, typing, pasting, the wheel and context menus, with the window's promises checked after
// each one. TAVRELON_STORM_SEED (or -seed n) replays a run; TAVRELON_STORM_ACTIONS (or
// -actions n) sets its length, 100000 by default.

#include "tavrelon.h"

#include "qtdesign.h"

#include "expectedreports.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QButtonGroup>
#include <QClipboard>
#include <QElapsedTimer>
#include <QGroupBox>
#include <QInputMethodEvent>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QMetaEnum>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QRandomGenerator>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTest>
#include <QTimerEvent>
#include <QWheelEvent>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <numeric>
#include <random>
#include <vector>

namespace {

std::uint64_t stormSeed = 0;
qint64 stormActions = 100000;

// Our own distributions on mt19937_64, whose output the standard fixes: the standard library's
// distributions differ between implementations, and a seed must replay the same run anywhere.
// (The modulo's bias, below 2^-50, does not matter here.)
struct Dice
{
    std::mt19937_64 engine;

    int below(int n) { return int(engine() % std::uint64_t(n)); }
    bool percent(int chance) { return below(100) < chance; }
    QPoint pointIn(const QRect &rect)
    {
        return {rect.left() + below(rect.width()), rect.top() + below(rect.height())};
    }
    template<typename List> auto pick(const List &items) { return items[below(int(items.size()))]; }
    // Ctrl or Shift, each with the given chance, or neither.
    Qt::KeyboardModifiers modifiers(int chance)
    {
        const int roll = below(100);
        return roll < chance ? Qt::ControlModifier
                             : (roll < 2 * chance ? Qt::ShiftModifier : Qt::NoModifier);
    }
};

// What an action must leave behind, on top of what every action must: the chosen name and the
// checked school (any: whatever the action made of them). The box holds the checked school's
// report after every action, so an action that keeps the school keeps the box's text too. A
// key's row can be landed: the row the key moves the list's current row to, if it moves it.
constexpr int any = -2;
constexpr int landed = -3;
struct Expect
{
    int row = any;
    int school = any;
};

// A text on one line, its line ends shown as "|", cut short.
QString flat(QString text)
{
    return text.remove(QLatin1Char('\r')).replace(QLatin1Char('\n'), QLatin1Char('|')).left(300);
}

// "Ctrl+", "Shift+" or nothing.
QString modifierText(Qt::KeyboardModifiers modifiers)
{
    return QKeySequence(modifiers | Qt::Key_A).toString().chopped(1);
}

// Mouse event time stamps, in milliseconds. Each action moves the clock on by a second, so two
// presses make a double click only within one action.
int mouseClock = 1000;

// Qt's warnings during a run are findings, except the offscreen platform's notes on what it
// cannot do (raise a menu, grab the keyboard), which are not even shown.
QStringList *warningsSeen = nullptr;
QtMessageHandler previousHandler = nullptr;

void recordWarnings(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (message.startsWith(QLatin1String("This plugin does not support"))) {
        return;
    }
    if (type != QtDebugMsg && type != QtInfoMsg && warningsSeen != nullptr) {
        warningsSeen->append(message);
    }
    previousHandler(type, context, message);
}

} // namespace

// Drives one window through a run of actions.
class Storm : public QObject
{
public:
    explicit Storm(std::uint64_t seed)
        : m_dice {std::mt19937_64(seed)}
        , m_window(std::make_unique<Tavrelon>())
        , m_list(m_window->namesList())
        , m_box(m_window->resultBox())
        , m_texts(texts())
    {
        // The window's own handlers run first. Right after them a chosen name must have its
        // school checked, and whatever the box is given must be the checked school's report.
        connect(m_list, &QListWidget::itemSelectionChanged, this, [this] {
            const int row = selectedRow();
            if (row >= 0 && m_finding.isEmpty() && checkedSchool() != chosen(row).school) {
                m_finding = QStringLiteral("a name was chosen, but not its school: ") + state();
            }
        });
        connect(m_box, &QPlainTextEdit::textChanged, this, [this] {
            if (m_finding.isEmpty() && m_window->resultText() != written(checkedSchool())) {
                m_finding = QStringLiteral("the box was given %1\n  with %2")
                                .arg(flat(QString::fromStdString(m_window->resultText())), state());
            }
        });
        qApp->installEventFilter(this);
        warningsSeen = &m_warnings;
    }

    ~Storm() override
    {
        warningsSeen = nullptr;
        qApp->removeEventFilter(this);
        m_window.reset(); // its signals reach this object's handlers till it is gone
    }

    bool show()
    {
        m_window->show();
        m_window->activateWindow();
        for (std::size_t school = 0; school < 3; ++school) {
            const auto *option = m_window->schoolOption(int(school));
            QStyleOptionButton style;
            style.initFrom(option);
            style.text = option->text();
            const auto *look = option->style();
            m_optionHits[school] =
                look->subElementRect(QStyle::SE_RadioButtonClickRect, &style, option);
            m_optionCircles[school] =
                look->subElementRect(QStyle::SE_RadioButtonIndicator, &style, option)
                    .adjusted(2, 2, -2, -2);
        }
        return QTest::qWaitForWindowActive(m_window.get());
    }

    // Runs count actions. Returns what went wrong, or nothing; with states, records the window's
    // state after each action.
    QString run(qint64 count, QStringList *states = nullptr)
    {
        for (qint64 action = 0; action < count; ++action) {
            // The offscreen platform hands the activation to a menu and keeps it when the menu
            // closes; a window manager would give it back to the window.
            if (QApplication::activeWindow() != m_window.get()) {
                m_window->activateWindow();
                QCoreApplication::processEvents();
            }
            const int currentBefore = m_list->currentRow();
            const auto before = m_expect = unchanged();
            m_what.clear();
            act();
            settleDelayedScroll();
            // The event loop gets its turn after every eighth action, for what they left queued:
            // paints, layouts, deferred deletes. Input arrives synchronously anyway, and painting
            // more often makes the run much slower. A menu the action opened is answered now.
            if (action % 8 == 7 || QApplication::activePopupWidget() != nullptr) {
                QCoreApplication::processEvents();
            }
            mouseClock += 1000;
            if (m_expect.row == landed) {
                const int row = std::max(m_list->currentRow(), 0);
                m_expect = row == before.row || row == currentBefore ? before : chosen(row);
            }
            const auto broken = !m_finding.isEmpty() ? m_finding
                : !m_warnings.isEmpty() ? QStringLiteral("Qt warned: ") + m_warnings.first()
                                        : whatBroke();
            if (!broken.isEmpty()) {
                return QStringLiteral("storm seed %1, action %2, %3:\n  %4\n  replay: "
                                      "TAVRELON_STORM_SEED=%1 TAVRELON_STORM_ACTIONS=%5")
                    .arg(QString::number(stormSeed), QString::number(action), m_what, broken,
                         QString::number(action + 1));
            }
            if (states != nullptr) {
                states->append(state());
            }
        }
        return {};
    }

private:
    // A click on a name that is only partly in view scrolls it into view once a double click
    // can no longer follow, by a timer of the list's own. Every action here stands for a second
    // of the user's time, so that timer's turn comes right after the action, at the same point
    // of every run with the seed, however fast the machine runs it.
    void settleDelayedScroll()
    {
        const int delay = QApplication::doubleClickInterval() + 100;
        const auto timers = QAbstractEventDispatcher::instance()->registeredTimers(m_list);
        for (const auto &timer : timers) {
            if (timer.interval == delay) {
                QTimerEvent due(timer.timerId);
                QCoreApplication::sendEvent(m_list, &due);
            }
        }
    }

protected:
    // A message box means the form's code failed: close it, so that the run can say so. A menu
    // is answered as soon as events are processed (in its own event loop, if it runs one), with
    // keys drawn for the running action.
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::Show) {
            return false;
        }
        if (auto *box = qobject_cast<QMessageBox *>(watched)) {
            m_finding = QStringLiteral("a message box came up: %1").arg(flat(box->text()));
            QMetaObject::invokeMethod(box, &QDialog::reject, Qt::QueuedConnection);
        } else if (auto *menu = qobject_cast<QMenu *>(watched)) {
            const int downs = m_dice.below(int(menu->actions().size()) + 1);
            const auto answer = m_dice.percent(70) ? Qt::Key_Return : Qt::Key_Escape;
            m_what += QStringLiteral(", then %1 x Down and %2 in its menu")
                          .arg(QString::number(downs), QKeySequence(answer).toString());
            const auto keys = [menu, downs, answer] {
                for (int i = 0; i <= downs; ++i) {
                    QTest::keyClick(menu, i < downs ? Qt::Key_Down : answer);
                }
                menu->close(); // when Return found no item
            };
            QMetaObject::invokeMethod(menu, keys, Qt::QueuedConnection);
        }
        return false;
    }

private:
    static Expect chosen(int row) { return {row, expected::schoolOfRow.at(std::size_t(row))}; }
    int selectedRow() const { return m_list->selectionModel()->selectedIndexes().value(0).row(); }
    int checkedSchool() const { return m_window->schoolOptions()->checkedId(); }
    Expect unchanged() const { return {selectedRow(), checkedSchool()}; }
    static std::string written(int school)
    {
        return school < 0 ? FormDesign::assignmentText()
                          : expected::reports.at(std::size_t(school));
    }
    QStringList texts() const
    {
        QStringList texts;
        for (int row = 0; row < m_list->count(); ++row) {
            texts << m_list->item(row)->text();
        }
        return texts << m_window->schoolOption(0)->text() << m_window->schoolOption(1)->text()
                     << m_window->schoolOption(2)->text() << m_window->heading()->text()
                     << m_window->namesCaption()->text() << m_window->schoolFrame()->title();
    }
    QString state() const
    {
        const auto *focus = QApplication::focusWidget();
        return QString::asprintf(
            "name %d, option %d, current row %d, list at %d, box at %d, focus on %s", selectedRow(),
            checkedSchool(), m_list->currentRow(), m_list->verticalScrollBar()->value(),
            m_box->verticalScrollBar()->value(),
            focus != nullptr ? qUtf8Printable(focus->objectName()) : "");
    }

    // A point drawn from a rectangle of a widget (all of it by default), in the window.
    QPoint inside(const QWidget *widget, QRect rect = {})
    {
        rect = rect.isNull() ? widget->rect() : rect;
        return m_dice.pointIn(rect.translated(widget->mapTo(m_window.get(), QPoint())));
    }
    // A point on a row that shows, wholly or in part.
    QPoint anyRow()
    {
        const auto *viewport = m_list->viewport();
        const int first = m_list->indexAt(QPoint(0, 0)).row();
        const int last = m_list->indexAt(QPoint(0, viewport->height() - 1)).row();
        const int row = first + m_dice.below((last < 0 ? m_list->count() - 1 : last) - first + 1);
        return inside(viewport, m_list->visualItemRect(m_list->item(row)) & viewport->rect());
    }
    // The row under a point of the window, or -1.
    int rowAt(QPoint at) const
    {
        return m_window->childAt(at) != m_list->viewport()
            ? -1
            : m_list->indexAt(m_list->viewport()->mapFrom(m_window.get(), at)).row();
    }
    // A point, the control under it (for a viewport or scroll bar, the one they belong to) and
    // the row there.
    QString whatIsAt(QPoint at) const
    {
        const QWidget *target = m_window->childAt(at);
        while (target != nullptr &&
               (target->objectName().isEmpty() ||
                target->objectName().startsWith(QLatin1String("qt_")))) {
            target = target->parentWidget();
        }
        return QString::asprintf(
            "(%d,%d) on %s, row %d", at.x(), at.y(),
            qUtf8Printable((target != nullptr ? target : m_window.get())->objectName()), rowAt(at));
    }

    // Mouse input goes in where the window system's would, through Qt's synchronous platform
    // entry (the one QTest's QWindow helpers use), so Qt finds the widget under the pointer,
    // makes double clicks and lets the pressed widget keep the mouse. Unlike those helpers, it
    // leaves event processing to the run.
    void press(QPoint at, Qt::MouseButton button, Qt::KeyboardModifiers modifiers = {})
    {
        auto *handle = m_window->windowHandle();
        const auto global = handle->mapToGlobal(at);
        qt_handleMouseEvent(handle, at, global, button, button, QEvent::MouseButtonPress, modifiers,
                            mouseClock++);
        qt_handleMouseEvent(handle, at, global, Qt::NoButton, button, QEvent::MouseButtonRelease,
                            modifiers, mouseClock++);
    }
    // Clicks with the left button or, when not, the right or middle one; once, or twice with the
    // given chance; now and then with Ctrl or Shift.
    void click(QPoint at, int leftChance, int twiceChance)
    {
        const auto button = m_dice.percent(leftChance)
            ? Qt::LeftButton
            : (m_dice.percent(60) ? Qt::RightButton : Qt::MiddleButton);
        const bool twice = m_dice.percent(twiceChance);
        const auto modifiers = m_dice.modifiers(5);
        m_expect = expectClick(at, button, modifiers, twice);
        m_what = QStringLiteral("%1%2 %3click at %4")
                     .arg(modifierText(modifiers),
                          QLatin1String(QMetaEnum::fromType<Qt::MouseButtons>().valueToKey(button)),
                          QLatin1String(twice ? "double " : ""), whatIsAt(at));
        for (int i = twice ? 2 : 1; i > 0; --i) {
            press(at, button, modifiers);
        }
    }
    // A key by its name, as in "Shift+Tab", to the focused control, with Ctrl or Shift added at
    // the given chance.
    void key(const QString &name, int modifierChance = 0)
    {
        const auto combination =
            QKeySequence(modifierText(m_dice.modifiers(modifierChance)) + name)[0];
        auto *focus = QApplication::focusWidget();
        auto *receiver = focus != nullptr ? focus : m_window.get();
        m_expect = expectKey(combination.key(), combination.keyboardModifiers());
        m_what = QStringLiteral("key %1 to %2")
                     .arg(QKeySequence(combination).toString(), receiver->objectName());
        QTest::keyClick(receiver, combination.key(), combination.keyboardModifiers());
    }
    // QTest has no wheel; the event goes where the window would send it: to the widget under the
    // pointer, and up its parents until one takes it.
    void wheel(const QWidget *over)
    {
        const auto at = inside(over);
        QWidget *target = m_window->childAt(at);
        target = target != nullptr ? target : m_window.get();
        const int size = m_dice.percent(70) ? 120 : 15 * (1 + m_dice.below(24));
        const int delta = m_dice.percent(50) ? size : -size;
        const bool sideways = m_dice.percent(10);
        const auto modifiers = m_dice.modifiers(10);
        m_what = QStringLiteral("%1wheel %2%3 at %4")
                     .arg(modifierText(modifiers), QLatin1String(sideways ? "sideways " : ""),
                          QString::number(delta), whatIsAt(at));
        const auto global = m_window->mapToGlobal(at);
        QWheelEvent event(target->mapFromGlobal(global), global, QPoint(),
                          sideways ? QPoint(delta, 0) : QPoint(0, delta), Qt::NoButton, modifiers,
                          Qt::NoScrollPhase, false);
        QSpontaneKeyEvent::setSpontaneous(&event);
        qApp->notify(target, &event);
    }
    // Types Cyrillic or ASCII letters into the box, or pastes a megabyte, after a click into it
    // unless it has the focus.
    void type(bool cyrillic, bool paste = false)
    {
        static const auto letters = QStringLiteral("абвгдежзийклмнопрстуфхцчшщъьюяѝАБВГДЕЖЗИЙКЛМНОП"
                                                   "РСТУФХЦЧШЩЪЬЮЯЍ");
        static const auto ascii = QStringLiteral("abcdefghijklmnopqrstuvwxyzABC0123456789 .,;:-=/");
        QString typed;
        for (int count = 1 + m_dice.below(8); count > 0; --count) {
            typed += m_dice.pick(cyrillic ? letters : ascii);
        }
        if (QApplication::focusWidget() != m_box) {
            const auto at = inside(m_box->viewport());
            press(at, Qt::LeftButton);
            m_what = QStringLiteral("click at %1, ").arg(whatIsAt(at));
        }
        if (paste) {
            static const auto big =
                QStringLiteral("Йоан Екзарх, Черноризец Храбър\r\n").repeated(1 << 15);
            QApplication::clipboard()->setText(big);
            const auto keys = QLatin1String(m_dice.percent(50) ? "Ctrl+V" : "Shift+Ins");
            m_what += QStringLiteral("paste 1 MB with %1").arg(keys);
            return QTest::keySequence(m_box, QKeySequence(keys));
        }
        if (cyrillic && m_dice.percent(30)) {
            // Through an input method (a phonetic layout, a compose key): it shows the word being
            // composed, then commits it, and only to a control that says it takes such text.
            m_what += QStringLiteral("type \"%1\" through an input method").arg(typed);
            QInputMethodQueryEvent query(Qt::ImEnabled);
            QCoreApplication::sendEvent(m_box, &query);
            if (query.value(Qt::ImEnabled).toBool()) {
                QInputMethodEvent composing(typed, {});
                QCoreApplication::sendEvent(m_box, &composing);
                QInputMethodEvent commit;
                commit.setCommitString(typed);
                QCoreApplication::sendEvent(m_box, &commit);
            }
            return;
        }
        m_what += QStringLiteral("type \"%1\"").arg(typed);
        for (const auto letter : std::as_const(typed)) {
            QTest::sendKeyEvent(QTest::Click, m_box, Qt::Key(letter.toUpper().unicode()),
                                QString(letter),
                                letter.isUpper() ? Qt::ShiftModifier : Qt::NoModifier);
        }
    }

    void act()
    {
        // The mix, in the order of the cases below; the weights add up to 100.
        static constexpr std::array<int, 10> weights {19, 5, 10, 18, 21, 10, 5, 3, 1, 8};
        static_assert(std::accumulate(weights.begin(), weights.end(), 0) == 100);
        static const auto movingKeys = QStringLiteral("Up Down Up Down Up Down Left Right Home End "
                                                      "PgUp PgDown Space Space Space Space")
                                           .split(QLatin1Char(' '));
        static const auto otherKeys =
            QStringLiteral("Tab Tab Shift+Tab Shift+Backtab Return Enter Esc F2 Menu Shift+F10 Del "
                           "Ins Backspace Ctrl+A Ctrl+C Ctrl+X Ctrl+Y Ctrl+Z")
                .split(QLatin1Char(' '));
        int roll = m_dice.below(100);
        std::size_t kind = 0;
        while (roll >= weights.at(kind)) {
            roll -= weights.at(kind++);
        }
        const auto *w = m_window.get();
        const std::array<const QWidget *, 8> targets {
            w->schoolOption(0), w->schoolOption(1), w->schoolOption(2), w->schoolFrame(),
            w->heading(),       w->namesCaption(),  w->resultBox(),     w};
        switch (kind) {
        case 0: // a name
            return click(anyRow(), 90, 25);
        case 1: // anywhere on the list: rows, the space under the last, the edge, the scroll bar
            return click(inside(m_list), 100, 20);
        case 2: { // an option's circle
            const int school = m_dice.below(3);
            return click(inside(w->schoolOption(school), m_optionCircles.at(std::size_t(school))),
                         100, 15);
        }
        case 3: // anywhere on an option, the frame, a caption, the box or the window
            return click(inside(m_dice.pick(targets)), 85, 15);
        case 4: // keys that move, Up and Down most of all: they walk the list and the options
            return key(m_dice.pick(movingKeys), 8);
        case 5: // Tab, keys that do nothing here, and the box's editing and menu keys
            return key(m_dice.pick(otherKeys));
        case 6:
        case 7:
            return type(kind == 6);
        case 8:
            return type(false, true);
        default: // the wheel, over the list, the box or anywhere
            return wheel(m_dice.percent(50) ? m_list : targets.at(6 + m_dice.below(2)));
        }
    }

    // A left click on a row chooses that name (Ctrl+click on the chosen one takes it back), one
    // inside an option's click area checks the option, and nothing else chooses anything. Near
    // the edge of the click area, anything goes.
    Expect expectClick(QPoint at, Qt::MouseButton button, Qt::KeyboardModifiers modifiers,
                       bool twice) const
    {
        const bool control = modifiers.testFlag(Qt::ControlModifier);
        if (const int row = rowAt(at); row >= 0) {
            if (button != Qt::LeftButton || (twice && control)) {
                return {};
            }
            return control && row == selectedRow() ? Expect {-1, checkedSchool()} : chosen(row);
        }
        for (int school = 0; school < 3; ++school) {
            const auto *option = m_window->schoolOption(school);
            const auto local = option->mapFrom(m_window.get(), at);
            const auto &hit = m_optionHits.at(std::size_t(school));
            if (m_window->childAt(at) == option && button == Qt::LeftButton &&
                hit.adjusted(-2, -2, 2, 2).contains(local)) {
                return {any, hit.adjusted(2, 2, -2, -2).contains(local) ? school : any};
            }
        }
        return unchanged();
    }

    // Keys on the result box and keys that do not move change nothing; Space on an option checks
    // it; on the list, Space, Up, Down, Home and End choose the row they land on.
    Expect expectKey(Qt::Key key, Qt::KeyboardModifiers modifiers) const
    {
        static constexpr std::array<Qt::Key, 9> moving {
            Qt::Key_Up,  Qt::Key_Down,   Qt::Key_Left,     Qt::Key_Right, Qt::Key_Home,
            Qt::Key_End, Qt::Key_PageUp, Qt::Key_PageDown, Qt::Key_Space};
        auto *focus = QApplication::focusWidget();
        if (std::find(moving.begin(), moving.end(), key) == moving.end() || focus == m_box) {
            return unchanged();
        }
        const int option = m_window->schoolOptions()->id(qobject_cast<QRadioButton *>(focus));
        if (modifiers != Qt::NoModifier ||
            (focus != m_list && (option < 0 || key != Qt::Key_Space))) {
            return {};
        }
        const int current = m_list->currentRow();
        if (option >= 0 || key == Qt::Key_Space) {
            return option >= 0 ? Expect {any, option}
                : current < 0  ? Expect {}
                               : (current == selectedRow() ? unchanged() : chosen(current));
        }
        // With no name chosen, the first Up or Down chooses the row under the focus frame.
        if ((key == Qt::Key_Up || key == Qt::Key_Down) && selectedRow() < 0) {
            return chosen(std::max(current, 0));
        }
        const bool lands =
            key == Qt::Key_Up || key == Qt::Key_Down || key == Qt::Key_Home || key == Qt::Key_End;
        return {lands ? landed : any};
    }

    // What every action must leave true, and what this one promised; nothing when all holds.
    QString whatBroke() const
    {
        const auto *w = m_window.get();
        const int school = checkedSchool();
        const int row = selectedRow();
        const auto options = w->schoolOptions()->buttons();
        const auto checked =
            std::count_if(options.begin(), options.end(),
                          [](const QAbstractButton *option) { return option->isChecked(); });
        const auto shown = QString::fromStdString(written(school))
                               .replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        const std::array<std::pair<bool, const char *>, 8> checks {{
            {checked > 1, "more than one option is checked"},
            {w->form().clickSource() != 0, "ClickSource is not 0 between events"},
            {w->resultText() != written(school), "Text1 is not what the checked option reports"},
            {m_box->toPlainText() != shown, "the box shows other than Text1"},
            {school < 0 && row >= 0, "a name is chosen, but no option is checked"},
            {texts() != m_texts, "a row or caption changed"},
            {w->size() != FormDesign::clientPixels() || !w->isVisible() || !m_box->isReadOnly(),
             "the window was resized or hidden, or the box became editable"},
            {(m_expect.row != any && row != m_expect.row) ||
                 (m_expect.school != any && school != m_expect.school),
             "the action chose other than it should"},
        }};
        const auto *const found = std::find_if(checks.begin(), checks.end(),
                                               [](const auto &check) { return check.first; });
        if (found == checks.end()) {
            return {};
        }
        const auto wanted = [](int value) {
            return value == any ? QStringLiteral("any") : QString::number(value);
        };
        return QStringLiteral("%1 (it should leave name %2 and option %3)\n  now %4\n  Text1:   "
                              "%5\n  the box: %6")
            .arg(QLatin1String(found->second), wanted(m_expect.row), wanted(m_expect.school),
                 state(), flat(QString::fromStdString(w->resultText())),
                 flat(m_box->toPlainText()));
    }

    Dice m_dice;
    std::unique_ptr<Tavrelon> m_window;
    QListWidget *m_list;
    QPlainTextEdit *m_box;
    std::array<QRect, 3> m_optionHits; // each option's click area and circle, in its coordinates
    std::array<QRect, 3> m_optionCircles;
    QStringList m_texts; // the rows, captions and frame title, as they must stay
    QString m_what; // the running action, and what it must leave behind
    Expect m_expect;
    QString m_finding; // found while it ran
    QStringList m_warnings;
};

class TestStorm : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        qInfo("storm: TAVRELON_STORM_SEED=%llu TAVRELON_STORM_ACTIONS=%lld",
              static_cast<unsigned long long>(stormSeed), stormActions);
        previousHandler = qInstallMessageHandler(recordWarnings);
    }
    void cleanupTestCase() { qInstallMessageHandler(previousHandler); }

    void stormKeepsTheWindowConsistent()
    {
        Storm storm(stormSeed);
        QVERIFY(storm.show());
        QElapsedTimer clock;
        clock.start();
        const auto failure = storm.run(stormActions);
        QVERIFY2(failure.isEmpty(), qPrintable(failure));
        const double seconds = double(clock.nsecsElapsed()) / 1e9;
        qInfo("storm: %lld actions in %.1f s, %.0f actions/s", stormActions, seconds,
              seconds > 0 ? double(stormActions) / seconds : 0.0);
    }

    void aSeedReplaysTheSameRun()
    {
        std::array<QStringList, 2> runs;
        for (auto &states : runs) {
            Storm storm(stormSeed);
            QVERIFY(storm.show());
            const auto failure = storm.run(std::min<qint64>(stormActions, 3000), &states);
            QVERIFY2(failure.isEmpty(), qPrintable(failure));
        }
        // On a difference, QCOMPARE names the first action after which the runs part.
        QCOMPARE(runs[1], runs[0]);
    }
};

// -seed n and -actions n stand for the environment variables and win over them; the other
// arguments are QTest's.
int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setAttribute(Qt::AA_Use96Dpi, true);
    std::vector<char *> rest;
    for (int i = 0; i < argc; ++i) {
        const QByteArray option(argv[i]);
        if (i + 1 < argc && (option == "-seed" || option == "-actions")) {
            qputenv(option == "-seed" ? "TAVRELON_STORM_SEED" : "TAVRELON_STORM_ACTIONS",
                    argv[++i]);
        } else {
            rest.push_back(argv[i]);
        }
    }
    const auto seed = qgetenv("TAVRELON_STORM_SEED").trimmed();
    const auto actions = qgetenv("TAVRELON_STORM_ACTIONS").trimmed();
    bool seedOk = true;
    bool actionsOk = true;
    stormSeed =
        seed.isEmpty() ? QRandomGenerator::system()->generate64() : seed.toULongLong(&seedOk, 0);
    stormActions = actions.isEmpty() ? stormActions : actions.toLongLong(&actionsOk);
    if (!seedOk || !actionsOk || stormActions < 0) {
        std::fprintf(stderr, "tst_storm: cannot read the seed \"%s\" or the action count \"%s\"\n",
                     seed.constData(), actions.constData());
        return 2;
    }
    TestStorm test;
    return QTest::qExec(&test, int(rest.size()), rest.data());
}

#include "tst_storm.moc"
