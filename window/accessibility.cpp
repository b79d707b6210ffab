#include "accessibility.h"

#include "formdesign.h"

#include "resultbox.h"
#include "tavrelon.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QButtonGroup>
#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QRadioButton>

namespace {

QAccessibleInterface *windowAsFrame(const QString &className, QObject *object)
{
    if (!object->isWidgetType()) {
        return nullptr;
    }
    auto *widget = static_cast<QWidget *>(object);
    // A plain QWidget window reads as a nameless "filler" to screen readers; a frame is
    // announced with its title when it becomes active.
    if (className == QLatin1String(Tavrelon::staticMetaObject.className())) {
        return new QAccessibleWidget(widget, QAccessible::Window);
    }
    // A filler would be passed over; a grouping is said once as the focus enters it.
    if (className == QLatin1String("QWidget") &&
        object->objectName() == Accessibility::optionGroupName) {
        return new QAccessibleWidget(widget, QAccessible::Grouping);
    }
    return nullptr;
}

// Drops its control's accessible description when the control first loses the focus.
class DescriptionOnce : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::FocusOut) {
            static_cast<QWidget *>(watched)->setAccessibleDescription(QString());
            deleteLater();
        }
        return QObject::eventFilter(watched, event);
    }
};

} // namespace

namespace Accessibility {

void registerWindowRole()
{
    static const bool registered = [] {
        QAccessible::installFactory(windowAsFrame);
        return true;
    }();
    Q_UNUSED(registered)
}

void describe(Tavrelon &window)
{
    auto *box = window.resultBox();
    box->setAccessibleName(QString::fromUtf8(FormDesign::resultBoxName));
    box->setAccessibleDescription(QString::fromUtf8(FormDesign::resultBoxDescription));

    // The caption is the list's label (its buddy) and also its name, so that the name holds
    // wherever assistive technology looks for it.
    auto *names = window.namesList();
    names->setAccessibleName(window.namesCaption()->text());
    names->setAccessibleDescription(QString::fromUtf8(FormDesign::namesListDescription));

    auto *frame = window.schoolFrame();
    frame->setAccessibleName(frame->title());
    frame->setAccessibleDescription(QString::fromUtf8(FormDesign::schoolFrameDescription));
    // Each option keeps its caption as its name and has no description: a screen reader says
    // an option's description with every arrow key, and the report it writes is announced.

    // A screen reader says a control's description each time the focus comes to it. The box's
    // and the list's are worth hearing once, not at every visit: each is dropped when the focus
    // first leaves its control.
    for (QWidget *control : {static_cast<QWidget *>(box), static_cast<QWidget *>(names)}) {
        control->installEventFilter(new DescriptionOnce(control));
    }
}

} // namespace Accessibility
