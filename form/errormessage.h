#pragma once

#include <exception>
#include <string>

// What the message box says when a run-time error ends the program, in UTF-8, for every
// window layer.
namespace FormDesign {

// The whole message: the error as the run-time describes it, then that the program will now
// close.
std::string fatalErrorMessage(const std::exception_ptr &error);

inline constexpr const char *fatalErrorTitle = "Tavrelon";

} // namespace FormDesign
