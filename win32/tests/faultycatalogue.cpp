// Tavrelon on a catalogue whose one row has the school text "7", a school without an option:
// choosing that name is a run-time error, which the window test expects to see reported.
#include "application.h"
#include "catalogue.h"

#include <windows.h>

#include <array>
#include <string_view>

namespace {

constexpr std::array<std::string_view, 3> captions {
    "Преславска книжовна школа", "Софийска книжовна школа", "Търновска книжовна школа"};
constexpr std::array<tavrelon::Representative, 2> representatives {{
    {"Йоан Екзарх", "0"},
    {"Безименен", "7"},
}};

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE /*previous*/, PWSTR /*commandLine*/, int show)
{
    static const tavrelon::Catalogue catalogue(captions, representatives);
    return Application::run(instance, catalogue, show);
}
