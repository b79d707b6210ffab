#pragma once

#include "formcontrols.h"

#include <QList>

#include <string>

class Announcer;
class QButtonGroup;
class QListWidget;
class QRadioButton;
class ResultBox;

namespace tavrelon {
class Catalogue;
}

// The form's controls backed by the window's widgets.
class QtControls : public tavrelon::FormControls
{
public:
    QtControls(const tavrelon::Catalogue &catalogue, QListWidget *names, QButtonGroup *options,
               ResultBox *resultBox, Announcer *announcer);

    std::string optionCaption(std::int16_t element) override;
    bool optionValue(std::int16_t element) override;
    void setOptionValue(std::int16_t element, bool value) override;

protected:
    std::int16_t selectedName() override;
    std::int16_t nameCount() override;
    std::string name(std::int16_t row) override;
    void showText(const std::string &text) override;

private:
    QRadioButton *option(std::int16_t element) const;

    QListWidget *m_names;
    QButtonGroup *m_options;
    ResultBox *m_resultBox;
    Announcer *m_announcer;
};
