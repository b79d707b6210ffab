#include "webform.h"

#include "formdesign.h"
#include "runtimeerror.h"

#include <exception>

WebForm::WebForm(const tavrelon::Catalogue &catalogue)
    : m_controls(catalogue)
    , m_form(m_controls)
{ }

template<typename Procedure> bool WebForm::deliver(Procedure procedure)
{
    if (failed()) {
        return false;
    }
    try {
        procedure();
    } catch (...) {
        m_error = tavrelon::RuntimeError::describe(std::current_exception());
    }
    return !failed();
}

bool WebForm::start()
{
    return deliver([this] { m_controls.setText(0, FormDesign::assignmentText()); });
}

bool WebForm::listClick()
{
    return deliver([this] { m_form.List1_Click(0); });
}

bool WebForm::optionClick(std::int16_t index)
{
    return deliver([this, index] { m_form.Option1_Click(index); });
}
