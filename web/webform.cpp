#include "webform.h"

#include "formdesign.h"
#include "runtimeerror.h"

WebForm::WebForm(const tavrelon::Catalogue &catalogue)
    : m_controls(catalogue)
    , m_session(m_controls, [this](const std::exception_ptr &error) {
        m_error = tavrelon::RuntimeError::describe(error);
    })
{ }

bool WebForm::start()
{
    return m_session.deliver([this] { m_controls.setText(0, FormDesign::assignmentText()); });
}

bool WebForm::listClick()
{
    return m_session.listClick(0);
}

bool WebForm::optionClick(std::int16_t index)
{
    return m_session.optionClick(index);
}
