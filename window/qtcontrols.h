#pragma once

#include "controls.h"

#include <QList>

#include <string>

class QButtonGroup;
class QListWidget;
class QRadioButton;
class ResultBox;

namespace tavrelon {
class Catalogue;
}

// The form's controls backed by the window's widgets. The hidden school list is answered
// from the catalogue, row for row beside the names list.
class QtControls : public tavrelon::Controls
{
public:
    QtControls(const tavrelon::Catalogue &catalogue, QListWidget *names, QButtonGroup *options,
               ResultBox *resultBox);

    std::int16_t listIndex(std::int16_t element) override;
    std::int16_t listCount(std::int16_t element) override;
    std::string list(std::int16_t element, std::int16_t row) override;
    std::string optionCaption(std::int16_t element) override;
    bool optionValue(std::int16_t element) override;
    void setOptionValue(std::int16_t element, bool value) override;
    std::string text(std::int16_t element) override;
    void setText(std::int16_t element, const std::string &text) override;

private:
    QRadioButton *option(std::int16_t element) const;

    const tavrelon::Catalogue &m_catalogue;
    QListWidget *m_names;
    QButtonGroup *m_options;
    ResultBox *m_resultBox;
    // The box shows line breaks; this keeps the text as written, CR LF and all.
    std::string m_text;
};
