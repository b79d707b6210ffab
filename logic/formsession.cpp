#include "formsession.h"

namespace tavrelon {

FormSession::FormSession(Controls &controls, ErrorReport report)
    : m_form(controls)
    , m_report(std::move(report))
{ }

bool FormSession::listClick(std::int16_t index)
{
    return deliver([this, index] { m_form.List1_Click(index); });
}

bool FormSession::optionClick(std::int16_t index)
{
    return deliver([this, index] { m_form.Option1_Click(index); });
}

void FormSession::fail(const std::exception_ptr &error)
{
    // The error of a nested click was reported already when the outer click fails after it.
    if (m_failed) {
        return;
    }
    m_failed = true;
    if (m_report) {
        m_report(error);
    }
}

} // namespace tavrelon
