#pragma once

#include <QString>

class Tavrelon;

// What a screen reader learns about the window beyond what its widgets say by themselves.
namespace Accessibility {

// The object name of the bare widget that holds the school options inside their frame.
inline const QString optionGroupName = QStringLiteral("Frame1Options");

// Makes assistive technology see the window as a titled top-level frame rather than a plain
// container, and the options' area as their group (named, by Qt, with the frame's caption).
// Runs before the window announces anything, so first thing in its constructor.
void registerWindowRole();

// Names the controls that have no caption of their own and describes what each choice does
// and where its report appears. Changes nothing on screen.
void describe(Tavrelon &window);

} // namespace Accessibility
