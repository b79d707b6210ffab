#pragma once

// fontconfig's configuration, read before Qt asks for it. Reading it is the largest single cost
// of the first frame; done on a second thread while Qt connects to the display, Qt finds it
// done.
namespace FontconfigSetup {

// Makes the configuration fontconfig's current one: the files FcInit() would load
// (FONTCONFIG_FILE or the system's fonts.conf, with everything it includes, the user's own
// configuration among them) and the fonts they name, but without FcInit()'s extra pass over
// the descriptions of every optional rule file. On any failure it leaves the work to
// FcInit(), which has its own fallbacks. Returns whether the configuration was built here.
bool load();

// Starts load() on a thread of its own.
void start();

// Waits for the thread started by start(), if any. Needed before anything uses fonts.
void finish();

} // namespace FontconfigSetup
