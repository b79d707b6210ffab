#pragma once

namespace tavrelon {

class Catalogue;

// The standard catalogue, except that the second name ("Григорий Доброписец", row 1) has the
// school text "7", a school with no option: choosing that name is a run-time error. The one
// catalogue every window's error test runs on.
const Catalogue &faultyCatalogue();

} // namespace tavrelon
