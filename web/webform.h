#pragma once

#include "schoolselection.h"
#include "webcontrols.h"

#include <string>

// The form's code running against the page: delivers the page's clicks to it one at a time and,
// like the desktop window, stops for good at the first run-time error, keeping its description.
class WebForm
{
public:
    explicit WebForm(const tavrelon::Catalogue &catalogue);

    // Writes the assignment text into the result box.
    bool start();
    bool listClick();
    bool optionClick(std::int16_t index);

    bool failed() const { return !m_error.empty(); }
    // What went wrong, in the words the user sees; empty while all is well.
    const std::string &error() const { return m_error; }

private:
    // Runs one of the form's procedures; returns false once an error has escaped one.
    template<typename Procedure> bool deliver(Procedure procedure);

    WebControls m_controls;
    tavrelon::SchoolSelection m_form;
    std::string m_error;
};
