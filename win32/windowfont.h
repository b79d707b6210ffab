#pragma once

#include "gdiobject.h"

#include <windows.h>

// The form's font at a window's dots per inch: the first installed of its families that has
// Cyrillic glyphs, 12 pt, regular, Cyrillic character set. Where none is installed, the font
// mapper picks a serif face by the family hint.
GdiObject<HFONT> createWindowFont(int dpi);
