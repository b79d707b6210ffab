// Tavrelon on the faulty catalogue, whose second name has a school without an option: choosing
// it is a run-time error, which the window test expects to see reported.
#include "faultycatalogue.h"
#include "application.h"

#include <windows.h>

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE /*previous*/, PWSTR /*commandLine*/, int show)
{
    return Application::run(instance, tavrelon::faultyCatalogue(), show);
}
