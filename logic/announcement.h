#pragma once

#include <string>
#include <string_view>

namespace tavrelon {

// What a screen reader should say when the result box receives a new text: for a school
// report ("Избрана: <school>", "Представители:", then one name a line, CR LF line ends), the
// school, then its representatives as one sentence that speech reads with pauses:
//   "Софийска книжовна школа. Представители: йеромонах Гаврил, Матей Граматик, поп Пейо, св.
//    Георги Софийски."
// Blanks at the end of a name are left out (the box keeps them): before a comma they are noise
// on a braille display. Any other text (the assignment shown at start) gives an empty string:
// nothing to announce. A school without names is announced by itself. Every window announces these
// same words, once per report written.
std::string announcementFor(std::string_view text);

} // namespace tavrelon
