#pragma once

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

private:
    int m_number;
};

} // namespace tavrelon
