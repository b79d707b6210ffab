#include "qtcontrols.h"

#include "announcement.h"
#include "announcer.h"
#include "resultbox.h"
#include "runtimeerror.h"

#include <QButtonGroup>
#include <QItemSelectionModel>
#include <QListWidget>
#include <QRadioButton>
#include <QSignalBlocker>

using tavrelon::RuntimeError;

QtControls::QtControls(const tavrelon::Catalogue &catalogue, QListWidget *names,
                       QButtonGroup *options, ResultBox *resultBox, Announcer *announcer)
    : FormControls(catalogue)
    , m_names(names)
    , m_options(options)
    , m_resultBox(resultBox)
    , m_announcer(announcer)
{ }

std::int16_t QtControls::selectedName()
{
    // The selected row, not the current one: assistive technology selects without moving it.
    const auto selected = m_names->selectionModel()->selectedIndexes();
    return selected.isEmpty() ? std::int16_t {-1}
                              : static_cast<std::int16_t>(selected.first().row());
}

std::int16_t QtControls::nameCount()
{
    return static_cast<std::int16_t>(m_names->count());
}

std::string QtControls::name(std::int16_t row)
{
    const auto *item = m_names->item(row);
    if (item == nullptr) {
        throw RuntimeError::invalidRow("List1", row);
    }
    return item->text().toStdString();
}

QRadioButton *QtControls::option(std::int16_t element) const
{
    auto *button = qobject_cast<QRadioButton *>(m_options->button(element));
    if (button == nullptr) {
        throw RuntimeError::noSuchElement("Option1", element);
    }
    return button;
}

std::string QtControls::optionCaption(std::int16_t element)
{
    return option(element)->text().toStdString();
}

bool QtControls::optionValue(std::int16_t element)
{
    return option(element)->isChecked();
}

void QtControls::setOptionValue(std::int16_t element, bool value)
{
    auto *button = option(element);
    if (value) {
        // Emits toggled before returning, so the option's click is handled inside this call.
        button->setChecked(true);
        return;
    }
    // An exclusive group will not let its checked button go; let it, for this one change.
    m_options->setExclusive(false);
    button->setChecked(false);
    m_options->setExclusive(true);
}

void QtControls::showText(const std::string &text)
{
    auto shown = QString::fromStdString(text);
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    // Replacing the whole text puts the caret at its start, so the box shows the first line.
    m_resultBox->showText(shown);
    // Every report is said as well, once for each one written: the focus stays on the control
    // that was chosen, away from the box.
    m_announcer->announce(QString::fromStdString(tavrelon::announcementFor(text)));
}
