#include "accessibility.h"

#include "formdesign.h"

#include "resultbox.h"
#include "tavrelon.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QButtonGroup>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QRadioButton>

namespace {

QAccessibleInterface *windowAsFrame(const QString &className, QObject *object)
{
    if (className != QLatin1String(Tavrelon::staticMetaObject.className()) ||
        !object->isWidgetType()) {
        return nullptr;
    }
    // A plain QWidget window reads as a nameless "filler" to screen readers; a frame is
    // announced with its title when it becomes active.
    return new QAccessibleWidget(static_cast<QWidget *>(object), QAccessible::Window);
}

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
    // Each option keeps its caption as its name; the group is its label.
    const auto buttons = window.schoolOptions()->buttons();
    for (auto *option : buttons) {
        option->setAccessibleDescription(QString::fromUtf8(FormDesign::schoolOptionDescription));
    }
}

} // namespace Accessibility
