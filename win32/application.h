#pragma once

#include <windows.h>

namespace tavrelon {
class Catalogue;
}

namespace Application {

// The exit status of a program ended by a run-time error.
inline constexpr int errorExitStatus = 1;

// Shows the window on the catalogue and runs the message loop until it is closed. A run-time
// error ends the loop in a message box naming it, and the program with errorExitStatus.
int run(HINSTANCE instance, const tavrelon::Catalogue &catalogue, int show);

} // namespace Application
