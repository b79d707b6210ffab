#pragma once

#include "formsession.h"
#include "webcontrols.h"

#include <string>

// The form's code running against the page: delivers the page's clicks to it one at a time and,
// like the desktop windows, stops for good at the first run-time error, keeping its description.
class WebForm
{
public:
    explicit WebForm(const tavrelon::Catalogue &catalogue);

    // Writes the assignment text into the result box.
    bool start();
    bool listClick();
    bool optionClick(std::int16_t index);

    bool failed() const { return m_session.failed(); }
    // What went wrong, in the words the user sees; empty while all is well.
    const std::string &error() const { return m_error; }

private:
    WebControls m_controls;
    std::string m_error;
    tavrelon::FormSession m_session;
};
