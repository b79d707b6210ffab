#pragma once

#include "announcer.h"
#include "formsession.h"
#include "qtcontrols.h"
#include "resultbox.h"

#include <QWidget>

#include <memory>

class QButtonGroup;
class QGroupBox;
class QLabel;
class QListWidget;
class QPlainTextEdit;
class QRadioButton;

namespace tavrelon {
class Catalogue;
}

// The program's one window: a heading, the framed group of school options, the captioned
// names list and the result box, laid out as designed, with the clicks of the names list and
// of the options bound to the form's code.
class Tavrelon : public QWidget
{
    Q_OBJECT
public:
    explicit Tavrelon(const tavrelon::Catalogue &catalogue, QWidget *parent = nullptr);
    explicit Tavrelon(QWidget *parent = nullptr);
    ~Tavrelon() override;

    // Moves the window to the middle of the screen it is on.
    void centreOnScreen();

    ResultBox *resultBox() const { return m_resultBox; }
    Announcer *announcer() const { return m_announcer; }
    QListWidget *namesList() const { return m_names; }
    QButtonGroup *schoolOptions() const { return m_options; }
    QRadioButton *schoolOption(int school) const;
    QGroupBox *schoolFrame() const { return m_frame; }
    QLabel *heading() const { return m_heading; }
    QLabel *namesCaption() const { return m_namesCaption; }
    const tavrelon::SchoolSelection &form() const { return m_session->form(); }
    // Text1(0) as the form's code reads it: the last text written, CR LF included.
    std::string resultText() const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    bool focusNextPrevChild(bool next) override;

private:
    void createControls();
    void bindEvents();
    void deliverListClick();
    int selectedRow() const;

    const tavrelon::Catalogue &m_catalogue;
    ResultBox *m_resultBox = nullptr;
    Announcer *m_announcer = nullptr;
    QLabel *m_heading = nullptr;
    QGroupBox *m_frame = nullptr;
    QButtonGroup *m_options = nullptr;
    QListWidget *m_names = nullptr;
    QLabel *m_namesCaption = nullptr;
    std::unique_ptr<QtControls> m_controls;
    // The form's code; its first run-time error ends the program.
    std::unique_ptr<tavrelon::FormSession> m_session;
    int m_rowBeforePress = -1;
};
