#pragma once

// What the program tells Qt about itself before its window is built: name, version,
// organisation, desktop entry and window icon. Shared with the benchmarks' empty window, so
// that the two start the same way.
namespace ApplicationSetup {

// Needs a QApplication.
void apply();

} // namespace ApplicationSetup
