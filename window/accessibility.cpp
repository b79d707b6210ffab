#include "accessibility.h"

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
    box->setAccessibleName(QStringLiteral("Избрана школа и нейните представители"));
    box->setAccessibleDescription(
        QStringLiteral("Показва заданието, а след избор на школа или на име — избраната "
                       "книжовна школа и нейните представители, по един на ред."));

    // The caption is the list's label (its buddy) and also its name, so that the name holds
    // wherever assistive technology looks for it.
    auto *names = window.namesList();
    names->setAccessibleName(window.namesCaption()->text());
    names->setAccessibleDescription(QStringLiteral(
        "Изборът на име отбелязва школата му и показва нейните представители в полето отдолу."));

    auto *frame = window.schoolFrame();
    frame->setAccessibleName(frame->title());
    frame->setAccessibleDescription(
        QStringLiteral("Изборът на школа показва нейните представители в полето отдолу."));
    // Each option keeps its caption as its name; the group is its label.
    const auto buttons = window.schoolOptions()->buttons();
    for (auto *option : buttons) {
        option->setAccessibleDescription(
            QStringLiteral("Показва представителите на школата в полето отдолу."));
    }
}

} // namespace Accessibility
