#pragma once

#include "schoolselection.h"

#include <cstdint>
#include <exception>
#include <functional>
#include <utility>

namespace tavrelon {

class Controls;

// The form as a window runs it: the form's code over the window's controls, each click
// delivered to it in turn. The first run-time error that escapes one of its procedures goes to
// the window's report, once; from then on the form is inert (nothing of it runs again), since
// the program is on its way out.
class FormSession
{
public:
    // Called once, with the first error, from inside the procedure's delivery.
    using ErrorReport = std::function<void(const std::exception_ptr &error)>;

    FormSession(Controls &controls, ErrorReport report);

    // A click on List1(index) or Option1(index). False once the form has failed.
    bool listClick(std::int16_t index);
    bool optionClick(std::int16_t index);
    // Anything else the window does on the form's controls (the assignment text at start-up),
    // under the same rule.
    template<typename Procedure> bool deliver(Procedure &&procedure);

    bool failed() const { return m_failed; }
    const SchoolSelection &form() const { return m_form; }

private:
    void fail(const std::exception_ptr &error);

    SchoolSelection m_form;
    ErrorReport m_report;
    bool m_failed = false;
};

template<typename Procedure> bool FormSession::deliver(Procedure &&procedure)
{
    if (m_failed) {
        return false;
    }
    try {
        std::forward<Procedure>(procedure)();
    } catch (...) {
        fail(std::current_exception());
    }
    return !m_failed;
}

} // namespace tavrelon
