#include "application.h"
#include "catalogue.h"

#include <windows.h>

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE /*previous*/, PWSTR /*commandLine*/, int show)
{
    return Application::run(instance, tavrelon::Catalogue::standard(), show);
}
