#pragma once

#include <exception>
#include <stdexcept>
#include <string>

namespace tavrelon {

// An error raised while the program runs. The program's own code never catches it: it travels
// up to whatever delivered the event, which reports it and ends the program.
class RuntimeError : public std::runtime_error
{
public:
    enum Number : int {
        Overflow = 6,
        InvalidRow = 381,
        NoSuchElement = 340,
    };

    RuntimeError(int number, const std::string &message);

    int number() const noexcept { return m_number; }

    static RuntimeError overflow();
    static RuntimeError noSuchElement(const std::string &control, int element);
    static RuntimeError invalidRow(const std::string &control, int row);

    // What the user is told about an error that escaped the form's code: its number and
    // message for a RuntimeError, in UTF-8.
    static std::string describe(const std::exception_ptr &error);

private:
    int m_number;
};

} // namespace tavrelon
