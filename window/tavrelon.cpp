#include "tavrelon.h"

#include "accessibility.h"
#include "catalogue.h"
#include "fatalerror.h"
#include "fixedsizewindow.h"
#include "nameslist.h"
#include "qtdesign.h"
#include "resultbox.h"
#include "scopedapplicationfont.h"

#include <QAccessible>
#include <QButtonGroup>
#include <QEvent>
#include <QGroupBox>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QScreen>

#include <algorithm>
#include <vector>

using FormDesign::Control;
using FormDesign::Kind;

namespace {

// Name, position, size, and background and text colours as designed.
void applyDesign(QWidget *widget, const Control &control)
{
    const auto name = QString::fromLatin1(control.name);
    widget->setObjectName(
        control.index < 0 ? name : QStringLiteral("%1(%2)").arg(name).arg(control.index));
    widget->setGeometry(FormDesign::toPixels(control.twips));
    if (control.background) {
        auto palette = widget->palette();
        palette.setColor(widget->backgroundRole(), FormDesign::toColor(*control.background));
        if (control.foreground) {
            palette.setColor(widget->foregroundRole(), FormDesign::toColor(*control.foreground));
        }
        widget->setPalette(palette);
        widget->setAutoFillBackground(true);
    }
}

QLabel *createLabel(const Control &control, QWidget *parent)
{
    auto *label = new QLabel(QString::fromUtf8(control.caption), parent);
    label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    applyDesign(label, control);
    return label;
}

QGroupBox *createFrame(const Control &control, QWidget *parent)
{
    auto *frame = new QGroupBox(QString::fromUtf8(control.caption), parent);
    applyDesign(frame, control);
    // The options sit on a bare, transparent area that covers the frame, not on the frame
    // itself: Qt makes a group box the label of every button directly on it, and Orca then
    // says the group's name again with each option, on top of saying it once when the focus
    // enters the group. The area is what assistive technology sees as the group.
    auto *options = new QWidget(frame);
    options->setObjectName(Accessibility::optionGroupName);
    options->setGeometry(frame->rect());
    return frame;
}

QWidget *optionsArea(QGroupBox *frame)
{
    return frame->findChild<QWidget *>(Accessibility::optionGroupName, Qt::FindDirectChildrenOnly);
}

QRadioButton *createOption(const Control &control, const tavrelon::Catalogue &catalogue,
                           QGroupBox *frame)
{
    const auto caption = catalogue.caption(static_cast<std::int16_t>(control.index));
    auto *option = new QRadioButton(QString::fromUtf8(caption.data(), qsizetype(caption.size())),
                                    optionsArea(frame));
    applyDesign(option, control);
    return option;
}

QListWidget *createNamesList(const Control &control, const tavrelon::Catalogue &catalogue,
                             QWidget *parent)
{
    auto *list = new NamesList(parent);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setSortingEnabled(false);
    list->setUniformItemSizes(true);
    for (std::int16_t row = 0; row < catalogue.rowCount(); ++row) {
        const auto name = catalogue.name(row);
        list->addItem(QString::fromUtf8(name.data(), qsizetype(name.size())));
    }
    applyDesign(list, control);
    return list;
}

ResultBox *createResultBox(const Control &control, QWidget *parent)
{
    // While it is built the box lays out an empty document in the application's font, before
    // it takes the window's. With the window's font as the application's for that moment, no
    // face is opened that the window does not show.
    auto *box = [parent] {
        const ScopedApplicationFont font(parent->font());
        return new ResultBox(parent);
    }();
    box->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    box->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    box->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    applyDesign(box, control);
    return box;
}

} // namespace

Tavrelon::Tavrelon(QWidget *parent)
    : Tavrelon(tavrelon::Catalogue::standard(), parent)
{ }

Tavrelon::Tavrelon(const tavrelon::Catalogue &catalogue, QWidget *parent)
    : QWidget(parent,
              Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                  Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint)
    , m_catalogue(catalogue)
{
    Accessibility::registerWindowRole();
    setObjectName(QStringLiteral("Tavrelon"));
    setWindowTitle(FormDesign::windowTitle());
    setFont(FormDesign::windowFont());
    auto palette = this->palette();
    palette.setColor(QPalette::Window, FormDesign::toColor(FormDesign::windowBackground));
    setPalette(palette);
    setFixedSize(FormDesign::clientPixels());
    new FixedSizeWindow(this);

    createControls();
    m_controls =
        std::make_unique<QtControls>(catalogue, m_names, m_options, m_resultBox, m_announcer);
    m_controls->setText(0, FormDesign::assignmentText());
    m_session = std::make_unique<tavrelon::FormSession>(
        *m_controls, [this](const std::exception_ptr &error) { FatalError::report(this, error); });
    bindEvents();
    m_resultBox->setFocus();
}

Tavrelon::~Tavrelon() = default;

void Tavrelon::createControls()
{
    std::vector<std::pair<int, QWidget *>> tabOrder;
    m_options = new QButtonGroup(this);
    for (const auto &control : FormDesign::controls) {
        QWidget *widget = nullptr;
        switch (control.kind) {
        case Kind::TextBox:
            widget = m_resultBox = createResultBox(control, this);
            break;
        case Kind::Label:
            widget = createLabel(control, this);
            (control.index == 0 ? m_heading : m_namesCaption) = static_cast<QLabel *>(widget);
            break;
        case Kind::Frame:
            widget = m_frame = createFrame(control, this);
            break;
        case Kind::OptionButton: {
            auto *option = createOption(control, m_catalogue, m_frame);
            m_options->addButton(option, control.index);
            widget = option;
            break;
        }
        case Kind::ListBox:
            widget = m_names = createNamesList(control, m_catalogue, this);
            break;
        }
        if (widget->focusPolicy() != Qt::NoFocus) {
            tabOrder.emplace_back(control.tabIndex, widget);
        }
    }
    std::sort(tabOrder.begin(), tabOrder.end());
    for (std::size_t i = 1; i < tabOrder.size(); ++i) {
        setTabOrder(tabOrder[i - 1].second, tabOrder[i].second);
    }

    m_announcer = new Announcer(m_resultBox, this);
    m_namesCaption->setBuddy(m_names);
    Accessibility::describe(*this);
}

void Tavrelon::bindEvents()
{
    // Checked by the mouse, the keyboard, assistive technology or the form's own code. The
    // unchecking half of each change is not a click.
    connect(m_options, &QButtonGroup::idToggled, this, [this](int id, bool checked) {
        if (checked) {
            m_session->optionClick(static_cast<std::int16_t>(id));
        }
    });
    // A new selection, however it was made, is a click on the list ...
    connect(m_names, &QListWidget::itemSelectionChanged, this, [this] { deliverListClick(); });
    // ... and so is a mouse click on the row that was already selected.
    m_names->viewport()->installEventFilter(this);
    m_names->installEventFilter(this);
    connect(m_names, &QListWidget::clicked, this, [this](const QModelIndex &index) {
        if (index.row() == m_rowBeforePress) {
            deliverListClick();
        }
    });
}

bool Tavrelon::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_names->viewport() && event->type() == QEvent::MouseButtonPress) {
        m_rowBeforePress = selectedRow();
    } else if (watched == m_names && event->type() == QEvent::KeyPress && selectedRow() < 0) {
        // With nothing chosen yet the first arrow key chooses the row under the focus frame,
        // rather than stepping past it, and so does Space.
        const auto *press = static_cast<QKeyEvent *>(event);
        const auto key = press->key();
        if ((key == Qt::Key_Down || key == Qt::Key_Up ||
             (key == Qt::Key_Space && press->modifiers() == Qt::NoModifier)) &&
            m_names->count() > 0) {
            const int row = std::max(m_names->currentRow(), 0);
            const bool moved = row != m_names->currentRow();
            m_names->setCurrentRow(row);
            if (!moved) {
                // The focus frame stays where it was, so Qt tells assistive technology nothing
                // of the row: a screen reader, still on the list itself, would not say the name.
                QAccessibleEvent focus(m_names, QAccessible::Focus);
                focus.setChild(row);
                QAccessible::updateAccessibility(&focus);
            }
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

bool Tavrelon::focusNextPrevChild(bool next)
{
    // Tab and Shift+Tab into the options land on the chosen one, as in a dialog box, so that an
    // arrow key chooses the next school at once. (Shift+Tab from the list would land on the
    // last option.)
    auto *checked = m_options->checkedButton();
    auto *from = focusWidget();
    const auto buttons = m_options->buttons();
    const auto takesTab = [](const QWidget *widget) {
        return (widget->focusPolicy() & Qt::TabFocus) != 0 && widget->isVisible() &&
            widget->isEnabled();
    };
    if (checked != nullptr && from != nullptr && !buttons.contains(from)) {
        auto *to = from;
        do {
            to = next ? to->nextInFocusChain() : to->previousInFocusChain();
        } while (to != from && !takesTab(to));
        if (buttons.contains(to)) {
            checked->setFocus(next ? Qt::TabFocusReason : Qt::BacktabFocusReason);
            return true;
        }
    }
    return QWidget::focusNextPrevChild(next);
}

void Tavrelon::deliverListClick()
{
    m_session->listClick(0);
}

int Tavrelon::selectedRow() const
{
    const auto selected = m_names->selectionModel()->selectedIndexes();
    return selected.isEmpty() ? -1 : selected.first().row();
}

QRadioButton *Tavrelon::schoolOption(int school) const
{
    return qobject_cast<QRadioButton *>(m_options->button(school));
}

std::string Tavrelon::resultText() const
{
    return m_controls->text(0);
}

void Tavrelon::centreOnScreen()
{
    const auto *screen = this->screen();
    if (screen == nullptr) {
        return;
    }
    const auto frame = frameGeometry();
    const auto area = screen->availableGeometry();
    move(FormDesign::centredStart(area.left(), area.width(), frame.width()),
         FormDesign::centredStart(area.top(), area.height(), frame.height()));
}
