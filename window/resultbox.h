#pragma once

#include <QPlainTextEdit>

// The result box: read-only, its text selectable by mouse and keyboard, and written by the
// form's code alone. Qt lets a read-only box whose text can be selected take an input method's
// text (a phonetic layout's, a compose key's), and assistive technology can edit any text box;
// this one turns the first away and undoes the second.
class ResultBox : public QPlainTextEdit
{
    Q_OBJECT
public:
    explicit ResultBox(QWidget *parent = nullptr);

    // Replaces the whole text, telling assistive technology exactly which characters went and
    // came, and puts the caret at its start.
    void showText(const QString &text);

    using QPlainTextEdit::inputMethodQuery;
    QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;

protected:
    void inputMethodEvent(QInputMethodEvent *event) override;

private:
    void restoreText();

    QString m_text;
    bool m_writing = false;
};
