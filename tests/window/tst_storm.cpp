// A seeded storm of user actions on the real window: clicks and double clicks that hit and miss,
// drags, keys, typing, pasting and the wheel, with the window's promises checked after each one.
//
// TAVRELON_STORM_SEED (or -seed n) replays a run; TAVRELON_STORM_ACTIONS (or -actions n) sets
// its length, 100000 by default; TAVRELON_STORM_SKIP (or -skip 3,10-20) leaves actions out, to
// cut a failing run down; TAVRELON_STORM_TRACE=1 (or -trace) prints every action.

#include "tavrelon.h"

#include "catalogue.h"
#include "formdesign.h"

#include "expectedreports.h"

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
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QRandomGenerator>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTest>
#include <QThread>
#include <QWheelEvent>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <deque>
#include <memory>
#include <random>
#include <vector>

namespace {

struct Settings
{
    std::uint64_t seed = 0;
    qint64 actions = 100000;
    QString skipText;
    std::vector<std::pair<qint64, qint64>> skipped;
    bool trace = false;

    bool isSkipped(qint64 action) const
    {
        return std::any_of(skipped.begin(), skipped.end(), [action](const auto &range) {
            return action >= range.first && action <= range.second;
        });
    }
};

Settings settings;

// Every action draws from its own generator, seeded from the run's seed and the action's number,
// so that leaving actions out of a replay does not change the ones that remain. mt19937_64's
// output is fixed by the standard; the distributions are ours, as std::uniform_int_distribution
// gives different numbers in different standard libraries.
class Dice
{
public:
    Dice(std::uint64_t seed, qint64 action)
        : m_engine(mixed(seed + 0x9E3779B97F4A7C15ULL * std::uint64_t(action + 1)))
    { }

    // Uniform over [0, n), n > 0: the draws below 2^64 mod n would favour small results.
    int below(int n)
    {
        const auto range = std::uint64_t(n);
        std::uint64_t value = 0;
        do {
            value = m_engine();
        } while (value < (0 - range) % range);
        return int(value % range);
    }
    int between(int low, int high) { return low + below(high - low + 1); }
    bool percent(int chance) { return below(100) < chance; }
    QPoint pointIn(const QRect &rect)
    {
        return {between(rect.left(), rect.right()), between(rect.top(), rect.bottom())};
    }
    template<typename T, std::size_t N> T pick(const std::array<T, N> &items)
    {
        return items[std::size_t(below(int(N)))];
    }

private:
    static std::uint64_t mixed(std::uint64_t z)
    {
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        return z ^ (z >> 31);
    }

    std::mt19937_64 m_engine;
};

// clang-format off
enum class Kind {
    RowClick, RowDoubleClick, RowOtherButton, ListClick, ListDrag,
    OptionClick, OptionDoubleClick, OptionAreaClick, FrameClick, OptionLetGoElsewhere,
    BoxClick, BoxDoubleClick, BoxContextMenu, LabelClick, WindowClick,
    NavigationKey, TabKey, SpaceKey, OtherKey, EditShortcut,
    TypeCyrillic, TypeAscii, PasteBigText, ListWheel, BoxWheel, WindowWheel,
};

// The mix, in the order of Kind; the weights add up to 100.
constexpr std::array<std::pair<int, const char *>, 26> kinds {{
    {13, "click a name"}, {4, "double-click a name"}, {2, "right/middle-click a name"},
    {5, "click anywhere on the list"}, {3, "drag within the list"},
    {6, "click an option's circle"}, {1, "double-click an option"},
    {3, "click anywhere on an option"}, {2, "click the frame"},
    {2, "press an option, let go off it"},
    {3, "click the result box"}, {1, "double-click the result box"},
    {1, "right-click the result box"}, {2, "click a caption"}, {4, "click anywhere"},
    {16, "arrow/Home/End/PgUp/PgDn"}, {6, "Tab/Shift+Tab"}, {5, "Space"},
    {3, "Return/Esc/F2/Menu/Del/..."}, {1, "Ctrl+A/C/X/Y/Z"},
    {5, "type Cyrillic into the box"}, {3, "type ASCII into the box"},
    {1, "paste 1 MB into the box"},
    {4, "wheel over the list"}, {3, "wheel over the box"}, {1, "wheel anywhere"},
}};
// clang-format on

constexpr int totalWeight()
{
    int total = 0;
    for (const auto &kind : kinds) {
        total += kind.first;
    }
    return total;
}
static_assert(totalWeight() == 100 && kinds.size() == std::size_t(Kind::WindowWheel) + 1);

Kind drawKind(Dice &dice)
{
    int roll = dice.below(100);
    std::size_t kind = 0;
    while (roll >= kinds[kind].first) {
        roll -= kinds[kind++].first;
    }
    return Kind(kind);
}

// What an action must leave behind, on top of what every action must.
struct Expect
{
    enum What { Anything, Nothing, Row, Option, Deselected } what = Anything;
    int index = -1;
};

QString modifierText(Qt::KeyboardModifiers modifiers)
{
    return QString((modifiers & Qt::ControlModifier) ? QStringLiteral("Ctrl+") : QString()) +
        ((modifiers & Qt::ShiftModifier) ? QStringLiteral("Shift+") : QString());
}

QString pointText(QPoint point)
{
    return QStringLiteral("(%1,%2)").arg(point.x()).arg(point.y());
}

// Mouse event time stamps, in milliseconds. Each action moves the clock on by a second, so two
// presses make a double click only within one action.
int mouseClock = 1000;

// Qt's warnings during a run are findings, except the platform plugin's notes on what it cannot do
// offscreen (raise a menu, grab the keyboard).
QStringList *warningsSeen = nullptr;
QtMessageHandler previousHandler = nullptr;

void recordWarnings(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (type != QtDebugMsg && type != QtInfoMsg && warningsSeen != nullptr) {
        if (message.startsWith(QLatin1String("This plugin does not support"))) {
            return;
        }
        warningsSeen->append(message);
    }
    previousHandler(type, context, message);
}

} // namespace

// Drives one window through a run of actions.
class Storm : public QObject
{
public:
    Storm();
    ~Storm() override;

    bool show();
    // Runs actions [0, count) but the skipped ones. Returns what went wrong, or nothing; with
    // fingerprints, records the state after each action.
    QString run(qint64 count, QStringList *fingerprints = nullptr);
    void printSummary(double seconds) const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QString act(Kind kind, Dice &dice, Expect &expect);
    void mouse(QEvent::Type type, Qt::MouseButton button, QPoint at,
               Qt::KeyboardModifiers modifiers = {});
    QString click(Dice &dice, QPoint at, Qt::MouseButton button, bool twice, Expect &expect);
    QString drag(QPoint from, QPoint to);
    QString key(Qt::Key key, Qt::KeyboardModifiers modifiers);
    QString wheel(Dice &dice, QPoint at);
    QString focusTheBox(Dice &dice);
    QString type(Dice &dice, bool cyrillic);
    QString paste(Dice &dice);
    void answerModalMenu(QMenu *menu);

    Expect expectClick(QPoint at, Qt::MouseButton button, Qt::KeyboardModifiers modifiers,
                       bool twice) const;
    Expect expectKey(Qt::Key key, Qt::KeyboardModifiers modifiers) const;
    QWidget *keyReceiver() const;
    QRect inWindow(const QWidget *widget, QRect rect) const;
    QString whatIsAt(QPoint at) const;
    int selectedRow() const;
    int checkedSchool() const { return m_window->schoolOptions()->checkedId(); }
    QString whatBroke(const Expect &expect, int schoolBefore, int rowBefore,
                      const std::string &textBefore) const;
    QString fingerprint() const;

    std::unique_ptr<Tavrelon> m_window;
    QWindow *m_handle = nullptr;
    Qt::MouseButtons m_buttons;
    Dice *m_dice = nullptr; // the running action's
    int m_loopLevel = 0; // the storm's; a menu or dialog running above it is modal
    QString m_modalNote;
    std::array<QRect, 3> m_optionHits; // each option's click area, in its own coordinates
    std::array<QRect, 3> m_optionCircles;
    QString m_assignment;
    QStringList m_names;
    QStringList m_captions;
    QString m_bigText;
    bool m_bigTextOnClipboard = false;

    QString m_finding; // found while the action ran
    QStringList m_warnings;
    std::deque<QString> m_recent;

    std::array<qint64, kinds.size()> m_kindCounts {};
    std::array<qint64, 5> m_expectCounts {};
    qint64 m_actionsRun = 0;
    qint64 m_selectionChanges = 0;
    qint64 m_reportsWritten = 0;
    qint64 m_menusOpened = 0;
    qint64 m_modalMenus = 0;
    qint64 m_reactivations = 0;
};

Storm::Storm()
    : m_window(std::make_unique<Tavrelon>())
    , m_assignment(QString::fromUtf8(FormDesign::assignmentText()))
{
    const auto &catalogue = tavrelon::Catalogue::standard();
    for (std::int16_t row = 0; row < catalogue.rowCount(); ++row) {
        const auto name = catalogue.name(row);
        m_names.append(QString::fromUtf8(name.data(), qsizetype(name.size())));
        m_bigText += m_names.last() + QStringLiteral("\r\n");
    }
    while (m_bigText.size() < (1 << 20)) {
        m_bigText += m_bigText;
    }
    m_bigText.truncate(1 << 20);
    m_captions << m_window->schoolOption(0)->text() << m_window->schoolOption(1)->text()
               << m_window->schoolOption(2)->text() << m_window->heading()->text()
               << m_window->namesCaption()->text() << m_window->schoolFrame()->title();

    // The window's own handler runs first; right after it, a chosen name must show its school.
    connect(m_window->namesList(), &QListWidget::itemSelectionChanged, this, [this] {
        ++m_selectionChanges;
        const int row = selectedRow();
        if (row < 0 || !m_finding.isEmpty()) {
            return;
        }
        const int school = expected::schoolOfRow[std::size_t(row)];
        if (checkedSchool() != school) {
            m_finding = QStringLiteral("name %1 was chosen, but option %2 is checked, not %3")
                            .arg(row)
                            .arg(checkedSchool())
                            .arg(school);
        } else if (m_window->resultText() != expected::reports[std::size_t(school)]) {
            m_finding = QStringLiteral("name %1 was chosen, but the box lacks the report of %2")
                            .arg(row)
                            .arg(school);
        }
    });
    connect(m_window->resultBox(), &QPlainTextEdit::textChanged, this,
            [this] { ++m_reportsWritten; });
    connect(QApplication::clipboard(), &QClipboard::dataChanged, this,
            [this] { m_bigTextOnClipboard = false; });
    QApplication::clipboard()->clear();
    qApp->installEventFilter(this);
    warningsSeen = &m_warnings;
}

Storm::~Storm()
{
    warningsSeen = nullptr;
    qApp->removeEventFilter(this);
    if (auto *popup = QApplication::activePopupWidget()) {
        popup->close();
    }
    m_window.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

bool Storm::show()
{
    m_window->show();
    m_window->activateWindow();
    if (!QTest::qWaitForWindowActive(m_window.get())) {
        return false;
    }
    m_handle = m_window->windowHandle();
    for (std::size_t school = 0; school < 3; ++school) {
        auto *option = m_window->schoolOption(int(school));
        QStyleOptionButton style;
        style.initFrom(option);
        style.text = option->text();
        style.iconSize = option->iconSize();
        const auto *look = option->style();
        m_optionHits[school] =
            look->subElementRect(QStyle::SE_RadioButtonClickRect, &style, option);
        m_optionCircles[school] =
            look->subElementRect(QStyle::SE_RadioButtonIndicator, &style, option);
    }
    return true;
}

// A message box means the form's code failed: close it, so that the run can say so. A menu run
// in an event loop of its own (a scroll bar's) is answered there; a popup menu (the result box's)
// stays open for the actions that follow.
bool Storm::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Show) {
        if (auto *box = qobject_cast<QMessageBox *>(watched)) {
            m_finding = QStringLiteral("a message box came up: %1").arg(box->text());
            QMetaObject::invokeMethod(box, &QDialog::reject, Qt::QueuedConnection);
        } else if (auto *menu = qobject_cast<QMenu *>(watched)) {
            ++m_menusOpened;
            QMetaObject::invokeMethod(
                this, [this, menu = QPointer<QMenu>(menu)] { answerModalMenu(menu); },
                Qt::QueuedConnection);
        }
    }
    return QObject::eventFilter(watched, event);
}

void Storm::answerModalMenu(QMenu *menu)
{
    if (menu == nullptr || !menu->isVisible() || m_dice == nullptr ||
        QThread::currentThread()->loopLevel() <= m_loopLevel) {
        return;
    }
    ++m_modalMenus;
    const int downs = m_dice->below(int(menu->actions().size()) + 1);
    const bool choose = m_dice->percent(70);
    for (int i = 0; i < downs; ++i) {
        QTest::keyClick(menu, Qt::Key_Down);
    }
    QTest::keyClick(menu, choose ? Qt::Key_Return : Qt::Key_Escape);
    m_modalNote += QStringLiteral(", then in its menu %1 x Down and %2")
                       .arg(downs)
                       .arg(choose ? QStringLiteral("Return") : QStringLiteral("Esc"));
    if (menu->isVisible()) {
        menu->close();
    }
}

int Storm::selectedRow() const
{
    const auto selected = m_window->namesList()->selectionModel()->selectedIndexes();
    return selected.isEmpty() ? -1 : selected.first().row();
}

QRect Storm::inWindow(const QWidget *widget, QRect rect) const
{
    return rect.translated(widget->mapTo(m_window.get(), QPoint()));
}

QString Storm::whatIsAt(QPoint at) const
{
    const auto *list = m_window->namesList();
    const auto *target = m_window->childAt(at);
    if (target != nullptr && target == list->viewport()) {
        const int row = list->indexAt(list->viewport()->mapFrom(m_window.get(), at)).row();
        return row < 0 ? QStringLiteral("the list's empty space")
                       : QStringLiteral("row %1").arg(row);
    }
    for (; target != nullptr; target = target->parentWidget()) {
        if (target == list) {
            return QStringLiteral("the list's edge or scroll bar");
        }
        if (target == m_window->resultBox()) {
            return QStringLiteral("the result box");
        }
        if (!target->objectName().isEmpty() &&
            !target->objectName().startsWith(QLatin1String("qt_"))) {
            return target->objectName();
        }
    }
    return QStringLiteral("the window");
}

// What a click must do, judged from the widget under it: a left click on a row chooses that
// name (Ctrl+click on the chosen one takes it back), one inside an option's click area checks
// the option, and nothing else chooses anything. Near the edge of the click area, anything goes.
Expect Storm::expectClick(QPoint at, Qt::MouseButton button, Qt::KeyboardModifiers modifiers,
                          bool twice) const
{
    const auto *target = m_window->childAt(at);
    const auto *list = m_window->namesList();
    if (target != nullptr && target == list->viewport()) {
        const int row = list->indexAt(list->viewport()->mapFrom(m_window.get(), at)).row();
        if (row < 0) {
            return {Expect::Nothing};
        }
        if (button != Qt::LeftButton || (twice && (modifiers & Qt::ControlModifier))) {
            return {Expect::Anything};
        }
        return (modifiers & Qt::ControlModifier) && row == selectedRow()
            ? Expect {Expect::Deselected}
            : Expect {Expect::Row, row};
    }
    for (int school = 0; school < 3; ++school) {
        const auto *option = m_window->schoolOption(school);
        if (target != option) {
            continue;
        }
        const auto local = option->mapFrom(m_window.get(), at);
        const auto &hit = m_optionHits[std::size_t(school)];
        if (button != Qt::LeftButton || !hit.adjusted(-2, -2, 2, 2).contains(local)) {
            return {Expect::Nothing};
        }
        return hit.adjusted(2, 2, -2, -2).contains(local) ? Expect {Expect::Option, school}
                                                          : Expect {Expect::Anything};
    }
    return {Expect::Nothing};
}

// Mouse input goes in where the window system's would, through Qt's synchronous platform entry
// (the one QTest's QWindow helpers use), so Qt finds the widget under the pointer, makes double
// clicks, lets the pressed widget keep the mouse and hands everything to an open menu. Unlike
// those helpers, it leaves event processing to the run.
void Storm::mouse(QEvent::Type type, Qt::MouseButton button, QPoint at,
                  Qt::KeyboardModifiers modifiers)
{
    if (type != QEvent::MouseMove) {
        m_buttons.setFlag(button, type == QEvent::MouseButtonPress);
    }
    qt_handleMouseEvent(m_handle, at, m_handle->mapToGlobal(at), m_buttons,
                        type == QEvent::MouseMove ? Qt::NoButton : button, type, modifiers,
                        mouseClock++);
}

QString Storm::click(Dice &dice, QPoint at, Qt::MouseButton button, bool twice, Expect &expect)
{
    const int roll = dice.below(20);
    const auto modifiers = roll == 0 ? Qt::ControlModifier
        : roll == 1                  ? Qt::ShiftModifier
                                     : Qt::NoModifier;
    expect = expectClick(at, button, modifiers, twice);
    const auto what =
        QStringLiteral("%1%2%3 click at %4 on %5")
            .arg(modifierText(modifiers),
                 button == Qt::LeftButton        ? QStringLiteral("left")
                     : button == Qt::RightButton ? QStringLiteral("right")
                                                 : QStringLiteral("middle"),
                 twice ? QStringLiteral(" double") : QString(), pointText(at), whatIsAt(at));
    for (int i = twice ? 2 : 1; i > 0; --i) {
        mouse(QEvent::MouseButtonPress, button, at, modifiers);
        mouse(QEvent::MouseButtonRelease, button, at, modifiers);
    }
    return what;
}

QString Storm::drag(QPoint from, QPoint to)
{
    const auto what = QStringLiteral("drag from %1 on %2 to %3 on %4")
                          .arg(pointText(from), whatIsAt(from), pointText(to), whatIsAt(to));
    mouse(QEvent::MouseButtonPress, Qt::LeftButton, from);
    mouse(QEvent::MouseMove, Qt::LeftButton, to);
    mouse(QEvent::MouseButtonRelease, Qt::LeftButton, to);
    return what;
}

// Where the window sends keys: to an open menu, or else to the focused control.
QWidget *Storm::keyReceiver() const
{
    if (auto *popup = QApplication::activePopupWidget()) {
        return popup->focusWidget() != nullptr ? popup->focusWidget() : popup;
    }
    auto *focus = QApplication::focusWidget();
    return focus != nullptr ? focus : m_window.get();
}

// Keys on the result box and keys that do not move change nothing; Space on an option checks it;
// on the list, Space, Up, Down, Home and End choose the row they land on.
Expect Storm::expectKey(Qt::Key key, Qt::KeyboardModifiers modifiers) const
{
    const auto *focus = QApplication::focusWidget();
    const bool moves = key == Qt::Key_Up || key == Qt::Key_Down || key == Qt::Key_Left ||
        key == Qt::Key_Right || key == Qt::Key_Home || key == Qt::Key_End ||
        key == Qt::Key_PageUp || key == Qt::Key_PageDown || key == Qt::Key_Space;
    if (!moves || focus == m_window->resultBox()) {
        return {Expect::Nothing};
    }
    for (int school = 0; school < 3; ++school) {
        if (focus == m_window->schoolOption(school) && key == Qt::Key_Space &&
            modifiers == Qt::NoModifier) {
            return {Expect::Option, school};
        }
    }
    const auto *list = m_window->namesList();
    const int current = list->currentRow();
    const int selected = selectedRow();
    if (focus == list && key == Qt::Key_Space && current >= 0) {
        if (modifiers == Qt::ControlModifier && current == selected) {
            return {Expect::Deselected};
        }
        return current == selected ? Expect {Expect::Nothing} : Expect {Expect::Row, current};
    }
    const bool step = key == Qt::Key_Up || key == Qt::Key_Down;
    if (focus != list || modifiers != Qt::NoModifier ||
        !(step || key == Qt::Key_Home || key == Qt::Key_End)) {
        return {Expect::Anything};
    }
    // With no name chosen, the first Up or Down chooses the row under the focus frame.
    if (step && selected < 0) {
        return {Expect::Row, std::max(current, 0)};
    }
    const int last = list->count() - 1;
    const int target = key == Qt::Key_Home ? 0
        : key == Qt::Key_End               ? last
        : key == Qt::Key_Up                ? std::max(current - 1, 0)
                                           : std::min(current + 1, last);
    if (current < 0 || target == selected) {
        return {Expect::Anything};
    }
    return target == current ? Expect {Expect::Nothing} : Expect {Expect::Row, target};
}

QString Storm::key(Qt::Key key, Qt::KeyboardModifiers modifiers)
{
    auto *receiver = keyReceiver();
    const auto name = receiver->objectName().isEmpty()
        ? QString::fromLatin1(receiver->metaObject()->className())
        : receiver->objectName();
    QTest::keyClick(receiver, key, modifiers);
    return QStringLiteral("key %1 to %2")
        .arg(QKeySequence(int(key) | int(modifiers)).toString(), name);
}

// QTest has no wheel; the event goes where the window would send it: to the widget under the
// pointer, or an open menu, and up its parents until one takes it.
QString Storm::wheel(Dice &dice, QPoint at)
{
    QWidget *root = QApplication::activePopupWidget();
    if (root == nullptr) {
        root = m_window.get();
    }
    const auto global = m_window->mapToGlobal(at);
    auto *target = root->childAt(root->mapFromGlobal(global));
    if (target == nullptr) {
        target = root;
    }
    const int step = dice.percent(70) ? 120 : dice.between(1, 24) * 15;
    const int delta = dice.percent(50) ? step : -step;
    const bool sideways = dice.percent(10);
    const int roll = dice.below(10);
    const auto modifiers = roll == 0 ? Qt::ControlModifier
        : roll == 1                  ? Qt::ShiftModifier
                                     : Qt::NoModifier;
    QWheelEvent event(target->mapFromGlobal(global), global, QPoint(),
                      sideways ? QPoint(delta, 0) : QPoint(0, delta), Qt::NoButton, modifiers,
                      Qt::NoScrollPhase, false);
    QSpontaneKeyEvent::setSpontaneous(&event);
    qApp->notify(target, &event);
    return QStringLiteral("%1wheel %2%3 at %4 on %5")
        .arg(modifierText(modifiers), sideways ? QStringLiteral("sideways ") : QString())
        .arg(delta)
        .arg(pointText(at), whatIsAt(at));
}

// Typing and pasting aim at the result box: close an open menu, then click into the box unless
// it has the focus.
QString Storm::focusTheBox(Dice &dice)
{
    QString what;
    if (QApplication::activePopupWidget() != nullptr) {
        QTest::keyClick(keyReceiver(), Qt::Key_Escape);
        what += QStringLiteral("Esc to the menu, ");
    }
    auto *box = m_window->resultBox();
    if (QApplication::focusWidget() != box) {
        const auto at = dice.pointIn(inWindow(box->viewport(), box->viewport()->rect()));
        mouse(QEvent::MouseButtonPress, Qt::LeftButton, at);
        mouse(QEvent::MouseButtonRelease, Qt::LeftButton, at);
        what += QStringLiteral("click at %1, ").arg(pointText(at));
    }
    if (QApplication::focusWidget() != box && m_finding.isEmpty()) {
        m_finding = QStringLiteral("the result box did not take the focus");
    }
    return what;
}

QString Storm::type(Dice &dice, bool cyrillic)
{
    static const auto letters =
        QStringLiteral("абвгдежзийклмнопрстуфхцчшщъьюяѝАБВГДЕЖЗИЙКЛМНОПРСТУФХЦЧШЩЪЬЮЯЍ");
    static const auto ascii = QStringLiteral("abcdefghijklmnopqrstuvwxyzABCXYZ0123456789 .,;:-=/");
    const auto &alphabet = cyrillic ? letters : ascii;
    QString typed;
    for (int count = dice.between(1, 8); count > 0; --count) {
        typed += alphabet.at(dice.below(int(alphabet.size())));
    }
    auto what = focusTheBox(dice);
    auto *box = m_window->resultBox();
    if (cyrillic && dice.percent(30)) {
        // Through an input method (a phonetic layout, a compose key): it shows the word being
        // composed, then commits it, and only to a control that says it takes such text.
        QInputMethodQueryEvent query(Qt::ImEnabled);
        QCoreApplication::sendEvent(box, &query);
        if (query.value(Qt::ImEnabled).toBool()) {
            QInputMethodEvent composing(typed, {});
            QCoreApplication::sendEvent(box, &composing);
            QInputMethodEvent commit;
            commit.setCommitString(typed);
            QCoreApplication::sendEvent(box, &commit);
        }
        return what + QStringLiteral("type \"%1\" through an input method").arg(typed);
    }
    for (const auto letter : std::as_const(typed)) {
        if (letter.unicode() < 128) {
            QTest::keyClick(box, char(letter.unicode()));
        } else {
            QTest::sendKeyEvent(QTest::Click, box, Qt::Key(letter.toUpper().unicode()),
                                QString(letter),
                                letter.isUpper() ? Qt::ShiftModifier : Qt::NoModifier);
        }
    }
    return what + QStringLiteral("type \"%1\"").arg(typed);
}

QString Storm::paste(Dice &dice)
{
    auto what = focusTheBox(dice);
    auto *box = m_window->resultBox();
    if (!m_bigTextOnClipboard) {
        QApplication::clipboard()->setText(m_bigText);
        m_bigTextOnClipboard = true;
    }
    switch (dice.below(3)) {
    case 0:
        QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
        return what + QStringLiteral("paste 1 MB with Ctrl+V");
    case 1:
        QTest::keyClick(box, Qt::Key_Insert, Qt::ShiftModifier);
        return what + QStringLiteral("paste 1 MB with Shift+Ins");
    default:
        QTest::keySequence(box, QKeySequence::Paste);
        return what + QStringLiteral("paste 1 MB with QKeySequence::Paste");
    }
}

QString Storm::act(Kind kind, Dice &dice, Expect &expect)
{
    auto *list = m_window->namesList();
    auto *viewport = list->viewport();
    const auto *box = m_window->resultBox();
    const auto anyRow = [this, list, viewport, &dice] {
        std::vector<QRect> visible;
        for (int row = 0; row < list->count(); ++row) {
            const auto rect = list->visualItemRect(list->item(row)) & viewport->rect();
            if (!rect.isEmpty()) {
                visible.push_back(rect);
            }
        }
        return dice.pointIn(
            inWindow(viewport, visible[std::size_t(dice.below(int(visible.size())))]));
    };
    const auto circle = [this, &dice](int school) {
        const auto &rect = m_optionCircles[std::size_t(school)];
        return dice.pointIn(inWindow(m_window->schoolOption(school), rect.adjusted(2, 2, -2, -2)));
    };
    const auto otherButton = [&dice] {
        return dice.percent(50) ? Qt::RightButton : Qt::MiddleButton;
    };
    const auto somewhere = [this, &dice] {
        return dice.pointIn(m_window->rect());
    };

    switch (kind) {
    case Kind::RowClick:
        return click(dice, anyRow(), Qt::LeftButton, false, expect);
    case Kind::RowDoubleClick:
        return click(dice, anyRow(), Qt::LeftButton, true, expect);
    case Kind::RowOtherButton:
        return click(dice, anyRow(), otherButton(), false, expect);
    case Kind::ListClick:
        return click(dice, dice.pointIn(list->geometry()), Qt::LeftButton, dice.percent(20),
                     expect);
    case Kind::ListDrag: {
        // Near the list's edges a drag starts its auto-scroll timer, which runs on the wall clock;
        // stay clear of them so that a seed replays the same run.
        const int margin = list->autoScrollMargin() + 1;
        auto area = viewport->rect().adjusted(margin, margin, -margin, -margin);
        if (area.height() < 1) {
            area = QRect(margin, viewport->height() / 2, viewport->width() - 2 * margin, 1);
        }
        const auto from = anyRow();
        return drag(from, dice.pointIn(inWindow(viewport, area)));
    }
    case Kind::OptionClick:
        return click(dice, circle(dice.below(3)), Qt::LeftButton, false, expect);
    case Kind::OptionDoubleClick:
        return click(dice, circle(dice.below(3)), Qt::LeftButton, true, expect);
    case Kind::OptionAreaClick: {
        const auto *option = m_window->schoolOption(dice.below(3));
        return click(dice, dice.pointIn(inWindow(option, option->rect())),
                     dice.percent(85) ? Qt::LeftButton : otherButton(), false, expect);
    }
    case Kind::FrameClick:
        return click(dice, dice.pointIn(m_window->schoolFrame()->geometry()), Qt::LeftButton,
                     dice.percent(20), expect);
    case Kind::OptionLetGoElsewhere: {
        const int school = dice.below(3);
        const auto from = circle(school);
        const auto hit = inWindow(m_window->schoolOption(school),
                                  m_optionHits[std::size_t(school)].adjusted(-2, -2, 2, 2));
        auto to = somewhere();
        while (hit.contains(to)) {
            to = somewhere();
        }
        expect = {Expect::Nothing};
        return drag(from, to);
    }
    case Kind::BoxClick:
        return click(dice, dice.pointIn(box->geometry()),
                     dice.percent(80) ? Qt::LeftButton : Qt::MiddleButton, false, expect);
    case Kind::BoxDoubleClick:
        return click(dice, dice.pointIn(box->geometry()), Qt::LeftButton, true, expect);
    case Kind::BoxContextMenu:
        return click(dice, dice.pointIn(inWindow(box->viewport(), box->viewport()->rect())),
                     Qt::RightButton, false, expect);
    case Kind::LabelClick: {
        const auto *label = dice.percent(50) ? m_window->heading() : m_window->namesCaption();
        return click(dice, dice.pointIn(label->geometry()), Qt::LeftButton, dice.percent(20),
                     expect);
    }
    case Kind::WindowClick:
        return click(dice, somewhere(), dice.percent(90) ? Qt::LeftButton : otherButton(),
                     dice.percent(15), expect);
    case Kind::NavigationKey: {
        static constexpr std::array<Qt::Key, 8> keys {Qt::Key_Up,     Qt::Key_Down,    Qt::Key_Left,
                                                      Qt::Key_Right,  Qt::Key_Home,    Qt::Key_End,
                                                      Qt::Key_PageUp, Qt::Key_PageDown};
        // Up and Down most of all: they walk the list and the options.
        const auto code =
            dice.percent(50) ? (dice.percent(50) ? Qt::Key_Up : Qt::Key_Down) : dice.pick(keys);
        const int roll = dice.below(10);
        const auto modifiers = roll == 0 ? Qt::ControlModifier
            : roll == 1                  ? Qt::ShiftModifier
                                         : Qt::NoModifier;
        expect = expectKey(code, modifiers);
        return key(code, modifiers);
    }
    case Kind::TabKey: {
        expect = {Expect::Nothing};
        const int roll = dice.below(4);
        return key(roll == 3 ? Qt::Key_Backtab : Qt::Key_Tab,
                   roll < 2 ? Qt::NoModifier : Qt::ShiftModifier);
    }
    case Kind::SpaceKey: {
        const auto modifiers = dice.percent(85) ? Qt::NoModifier : Qt::ControlModifier;
        expect = expectKey(Qt::Key_Space, modifiers);
        return key(Qt::Key_Space, modifiers);
    }
    case Kind::OtherKey: {
        static constexpr std::array<Qt::Key, 9> keys {
            Qt::Key_Return, Qt::Key_Enter,  Qt::Key_Escape, Qt::Key_F2,       Qt::Key_Menu,
            Qt::Key_Delete, Qt::Key_Insert, Qt::Key_F10,    Qt::Key_Backspace};
        const auto code = dice.pick(keys);
        expect = {Expect::Nothing};
        return key(code, code == Qt::Key_F10 ? Qt::ShiftModifier : Qt::NoModifier);
    }
    case Kind::EditShortcut: {
        static constexpr std::array<Qt::Key, 5> keys {Qt::Key_A, Qt::Key_C, Qt::Key_X, Qt::Key_Y,
                                                      Qt::Key_Z};
        expect = {Expect::Nothing};
        return key(dice.pick(keys), Qt::ControlModifier);
    }
    case Kind::TypeCyrillic:
    case Kind::TypeAscii:
        expect = {Expect::Nothing};
        return type(dice, kind == Kind::TypeCyrillic);
    case Kind::PasteBigText:
        expect = {Expect::Nothing};
        return paste(dice);
    case Kind::ListWheel:
        expect = {Expect::Nothing};
        return wheel(dice, dice.pointIn(list->geometry()));
    case Kind::BoxWheel:
        expect = {Expect::Nothing};
        return wheel(dice, dice.pointIn(box->geometry()));
    case Kind::WindowWheel:
        expect = {Expect::Nothing};
        return wheel(dice, somewhere());
    }
    return {};
}

// What every action must leave true, and what this one promised; nothing when all holds.
QString Storm::whatBroke(const Expect &expect, int schoolBefore, int rowBefore,
                         const std::string &textBefore) const
{
    int checked = 0;
    for (int school = 0; school < 3; ++school) {
        checked += m_window->schoolOption(school)->isChecked() ? 1 : 0;
    }
    if (checked > 1) {
        return QStringLiteral("%1 options are checked").arg(checked);
    }
    if (m_window->form().clickSource() != 0) {
        return QStringLiteral("ClickSource is %1 between events")
            .arg(m_window->form().clickSource());
    }
    const int school = checkedSchool();
    const int row = selectedRow();
    const auto text = QString::fromStdString(m_window->resultText());
    const auto written =
        school < 0 ? m_assignment : QString::fromStdString(expected::reports[std::size_t(school)]);
    if (text != written) {
        return QStringLiteral("option %1 is checked, but Text1 holds:\n%2").arg(school).arg(text);
    }
    auto shown = written;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    if (m_window->resultBox()->toPlainText() != shown) {
        return QStringLiteral("the box shows other than Text1:\n%1")
            .arg(m_window->resultBox()->toPlainText().left(400));
    }
    if (school < 0 && row >= 0) {
        return QStringLiteral("name %1 is selected, but no option is checked").arg(row);
    }
    const auto *list = m_window->namesList();
    for (int i = 0; i < std::max(int(list->count()), int(m_names.size())); ++i) {
        if (i >= list->count() || i >= m_names.size() || list->item(i)->text() != m_names.at(i)) {
            return QStringLiteral("the list now has %1 rows, row %2 is different")
                .arg(list->count())
                .arg(i);
        }
    }
    const QStringList captions {
        m_window->schoolOption(0)->text(), m_window->schoolOption(1)->text(),
        m_window->schoolOption(2)->text(), m_window->heading()->text(),
        m_window->namesCaption()->text(),  m_window->schoolFrame()->title()};
    if (captions != m_captions) {
        return QStringLiteral("a caption changed: %1").arg(captions.join(QStringLiteral(" | ")));
    }
    if (m_window->size() != FormDesign::clientPixels() || !m_window->isVisible()) {
        return QStringLiteral("the window is %1 x %2, %3")
            .arg(m_window->width())
            .arg(m_window->height())
            .arg(m_window->isVisible() ? QStringLiteral("shown") : QStringLiteral("hidden"));
    }
    if (!m_window->resultBox()->isReadOnly()) {
        return QStringLiteral("the result box became editable");
    }

    const bool unchanged = school == schoolBefore && m_window->resultText() == textBefore;
    switch (expect.what) {
    case Expect::Anything:
        return {};
    case Expect::Nothing:
        return unchanged && row == rowBefore
            ? QString()
            : QStringLiteral("it should have changed nothing, but option %1 -> %2, name %3 -> %4")
                  .arg(schoolBefore)
                  .arg(school)
                  .arg(rowBefore)
                  .arg(row);
    case Expect::Deselected:
        return unchanged && row < 0
            ? QString()
            : QStringLiteral("it should only have taken the name back, but name %1 and option %2 "
                             "are chosen")
                  .arg(row)
                  .arg(school);
    case Expect::Row: {
        const int wanted = expected::schoolOfRow[std::size_t(expect.index)];
        return row == expect.index && school == wanted
            ? QString()
            : QStringLiteral("it should have chosen name %1 and option %2, but name %3 and option "
                             "%4 are chosen")
                  .arg(expect.index)
                  .arg(wanted)
                  .arg(row)
                  .arg(school);
    }
    case Expect::Option:
        return school == expect.index
            ? QString()
            : QStringLiteral("it should have checked option %1, but option %2 is checked")
                  .arg(expect.index)
                  .arg(school);
    }
    return {};
}

QString Storm::fingerprint() const
{
    const auto *focus = QApplication::focusWidget();
    return QStringLiteral(
               "option %1, name %2, current %3, focus %4, list at %5, box at %6, menu %7")
        .arg(checkedSchool())
        .arg(selectedRow())
        .arg(m_window->namesList()->currentRow())
        .arg(focus != nullptr ? focus->objectName() : QString())
        .arg(m_window->namesList()->verticalScrollBar()->value())
        .arg(m_window->resultBox()->verticalScrollBar()->value())
        .arg(QApplication::activePopupWidget() != nullptr);
}

QString Storm::run(qint64 count, QStringList *fingerprints)
{
    m_loopLevel = QThread::currentThread()->loopLevel();
    for (qint64 action = 0; action < count; ++action) {
        if (settings.isSkipped(action)) {
            continue;
        }
        // The offscreen platform hands the activation to a menu when it opens and keeps it
        // when the menu closes; a window manager would give it back to the window. Do that.
        if (QApplication::activePopupWidget() == nullptr &&
            QApplication::activeWindow() != m_window.get()) {
            m_window->activateWindow();
            QCoreApplication::processEvents();
            ++m_reactivations;
        }
        Dice dice(settings.seed, action);
        const auto kind = drawKind(dice);
        const int schoolBefore = checkedSchool();
        const int rowBefore = selectedRow();
        const auto textBefore = m_window->resultText();
        const bool menuWasOpen = QApplication::activePopupWidget() != nullptr;

        Expect expect;
        m_dice = &dice;
        m_modalNote.clear();
        auto what = QString::fromLatin1(kinds[std::size_t(kind)].second) + QStringLiteral(": ") +
            act(kind, dice, expect);
        // The event loop gets its turn after every fourth action, for what they left queued:
        // paints, layouts, deferred deletes. Input arrives synchronously anyway; a quick user's,
        // too, comes in bursts between paints, and painting after each action doubles the time.
        if (action % 4 == 3) {
            QCoreApplication::processEvents();
        }
        m_dice = nullptr;
        what += m_modalNote;
        mouseClock += 1000;
        if (menuWasOpen) {
            expect = {Expect::Anything}; // the menu had the first go at the click or key
        }
        ++m_actionsRun;
        ++m_kindCounts[std::size_t(kind)];
        ++m_expectCounts[std::size_t(expect.what)];
        if (settings.trace) {
            qInfo("storm %lld: %s", action, qPrintable(what));
        }

        auto broken = m_finding;
        if (broken.isEmpty() && !m_warnings.isEmpty()) {
            broken = QStringLiteral("Qt warned: %1").arg(m_warnings.first());
        }
        if (broken.isEmpty()) {
            broken = whatBroke(expect, schoolBefore, rowBefore, textBefore);
        }
        if (!broken.isEmpty()) {
            const auto seed = QString::number(settings.seed);
            auto message = QStringLiteral("storm seed ") + seed + QStringLiteral(", action ") +
                QString::number(action) + QStringLiteral(", ") + what + QStringLiteral(":\n  ") +
                broken + QStringLiteral("\n  replay: TAVRELON_STORM_SEED=") + seed +
                QStringLiteral(" TAVRELON_STORM_ACTIONS=") + QString::number(action + 1) +
                QStringLiteral(" TAVRELON_STORM_SKIP=") + settings.skipText +
                QStringLiteral(" (add action numbers to the skip list while it still fails)\n"
                               "  the actions before it:");
            for (const auto &recent : m_recent) {
                message += QStringLiteral("\n    ") + recent;
            }
            return message;
        }
        m_recent.push_back(QString::number(action) + QStringLiteral(", ") + what);
        if (m_recent.size() > 8) {
            m_recent.pop_front();
        }
        if (fingerprints != nullptr) {
            fingerprints->append(fingerprint());
        }
    }
    return {};
}

void Storm::printSummary(double seconds) const
{
    qInfo("storm: seed %llu, %lld actions in %.1f s, %.0f actions/s",
          static_cast<unsigned long long>(settings.seed), m_actionsRun, seconds,
          seconds > 0 ? double(m_actionsRun) / seconds : 0.0);
    for (std::size_t i = 0; i < kinds.size(); ++i) {
        qInfo("storm: %7lld  %s", m_kindCounts[i], kinds[i].second);
    }
    qInfo("storm: %lld selection changes, %lld reports, %lld menus (%lld modal), %lld times "
          "the window was activated again",
          m_selectionChanges, m_reportsWritten, m_menusOpened, m_modalMenus, m_reactivations);
    qInfo("storm: beyond the invariants, %lld actions had to choose a name, %lld to check an "
          "option, %lld to take the name back, %lld to change nothing; %lld were free",
          m_expectCounts[Expect::Row], m_expectCounts[Expect::Option],
          m_expectCounts[Expect::Deselected], m_expectCounts[Expect::Nothing],
          m_expectCounts[Expect::Anything]);
}

class TestStorm : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();

    void stormKeepsTheWindowConsistent();
    void aSeedReplaysTheSameRun();
};

void TestStorm::initTestCase()
{
    qInfo("storm: seed %llu (replay with TAVRELON_STORM_SEED=%llu), %lld actions",
          static_cast<unsigned long long>(settings.seed),
          static_cast<unsigned long long>(settings.seed), settings.actions);
    previousHandler = qInstallMessageHandler(recordWarnings);
}

void TestStorm::cleanupTestCase()
{
    qInstallMessageHandler(previousHandler);
}

void TestStorm::stormKeepsTheWindowConsistent()
{
    Storm storm;
    QVERIFY(storm.show());
    QElapsedTimer clock;
    clock.start();
    const auto failure = storm.run(settings.actions);
    storm.printSummary(double(clock.nsecsElapsed()) / 1e9);
    QVERIFY2(failure.isEmpty(), qPrintable(failure));
}

void TestStorm::aSeedReplaysTheSameRun()
{
    std::array<QStringList, 2> runs;
    for (auto &fingerprints : runs) {
        Storm storm;
        QVERIFY(storm.show());
        const auto failure = storm.run(std::min<qint64>(settings.actions, 3000), &fingerprints);
        QVERIFY2(failure.isEmpty(), qPrintable(failure));
    }
    QCOMPARE(runs[1].size(), runs[0].size());
    const auto parting = std::mismatch(runs[0].begin(), runs[0].end(), runs[1].begin());
    if (parting.first != runs[0].end()) {
        QFAIL(qPrintable(QStringLiteral("the runs part at action %1:\n  %2\n  %3")
                             .arg(parting.first - runs[0].begin())
                             .arg(*parting.first, *parting.second)));
    }
}

namespace {

// Takes the storm's options out of argv and leaves QTest's; options win over the environment.
bool readSettings(int argc, char *argv[], std::vector<char *> &rest)
{
    auto seed = qEnvironmentVariable("TAVRELON_STORM_SEED");
    auto actions = qEnvironmentVariable("TAVRELON_STORM_ACTIONS");
    settings.skipText = qEnvironmentVariable("TAVRELON_STORM_SKIP");
    settings.trace = qEnvironmentVariableIntValue("TAVRELON_STORM_TRACE") != 0;
    for (int i = 0; i < argc; ++i) {
        const auto option = QByteArray(argv[i]);
        if (i + 1 < argc && (option == "-seed" || option == "-actions" || option == "-skip")) {
            (option == "-seed"          ? seed
                 : option == "-actions" ? actions
                                        : settings.skipText) = QString::fromLocal8Bit(argv[++i]);
        } else if (option == "-trace") {
            settings.trace = true;
        } else {
            if (option == "-help") {
                std::puts(
                    " Storm options:\n"
                    " -seed n    : replay the run of seed n (TAVRELON_STORM_SEED)\n"
                    " -actions n : run n actions, 100000 by default (TAVRELON_STORM_ACTIONS)\n"
                    " -skip list : leave out actions, as in 3,10-20 (TAVRELON_STORM_SKIP)\n"
                    " -trace     : print every action (TAVRELON_STORM_TRACE=1)\n");
            }
            rest.push_back(argv[i]);
        }
    }
    bool seedOk = true;
    bool actionsOk = true;
    settings.seed = seed.isEmpty() ? QRandomGenerator::system()->generate64()
                                   : seed.trimmed().toULongLong(&seedOk, 0);
    if (!actions.isEmpty()) {
        settings.actions = actions.trimmed().toLongLong(&actionsOk);
    }
    bool skipOk = true;
    for (const auto &part : settings.skipText.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        const auto ends = part.split(QLatin1Char('-'));
        bool firstOk = false;
        bool lastOk = true;
        const auto first = ends.first().trimmed().toLongLong(&firstOk);
        const auto last = ends.size() == 2 ? ends.last().trimmed().toLongLong(&lastOk) : first;
        skipOk = skipOk && firstOk && lastOk && ends.size() <= 2 && first <= last;
        settings.skipped.emplace_back(first, last);
    }
    if (!seedOk || !actionsOk || settings.actions < 0 || !skipOk) {
        std::fprintf(stderr,
                     "tst_storm: cannot read the seed \"%s\", the action count \"%s\" "
                     "or the skip list \"%s\"\n",
                     qPrintable(seed), qPrintable(actions), qPrintable(settings.skipText));
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    app.setAttribute(Qt::AA_Use96Dpi, true);
    std::vector<char *> rest;
    if (!readSettings(argc, argv, rest)) {
        return 2;
    }
    TestStorm test;
    return QTest::qExec(&test, int(rest.size()), rest.data());
}

#include "tst_storm.moc"
