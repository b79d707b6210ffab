// The module's interface to the page's script: plain C functions, one per event the page
// delivers. Each returns 1 while all is well and 0 once a run-time error has stopped the form;
// tavrelon_error() then describes it.
#include "webcatalogue.h"
#include "webform.h"

#include <emscripten/emscripten.h>

#include <memory>

namespace {

std::unique_ptr<WebForm> form;

} // namespace

extern "C" {

EMSCRIPTEN_KEEPALIVE int tavrelon_start()
{
    form = std::make_unique<WebForm>(webCatalogue());
    return form->start() ? 1 : 0;
}

EMSCRIPTEN_KEEPALIVE int tavrelon_list_click()
{
    return form->listClick() ? 1 : 0;
}

EMSCRIPTEN_KEEPALIVE int tavrelon_option_click(int index)
{
    return form->optionClick(std::int16_t(index)) ? 1 : 0;
}

EMSCRIPTEN_KEEPALIVE const char *tavrelon_error()
{
    return form->error().c_str();
}
}
