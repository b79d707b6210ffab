#pragma once

#include <exception>

class QWidget;

namespace FatalError {

// The exit status of a program ended by a run-time error.
inline constexpr int exitStatus = 1;

// Shows a critical message naming the error and, once it is dismissed, ends the event loop
// with exitStatus.
void report(QWidget *parent, const std::exception_ptr &error);

} // namespace FatalError
