#include "webcontrols.h"

#include "announcement.h"
#include "pageimports.h"
#include "runtimeerror.h"

using tavrelon::RuntimeError;

namespace {

// A text the page holds, fetched in one or two calls: the page says how many bytes it needs.
std::string pageText(int what, int index)
{
    std::string text(64, '\0');
    auto length = tavrelon_page_text(what, index, text.data(), int(text.size()));
    if (length > int(text.size())) {
        text.resize(std::size_t(length));
        length = tavrelon_page_text(what, index, text.data(), int(text.size()));
    }
    text.resize(std::size_t(length));
    return text;
}

} // namespace

WebControls::WebControls(const tavrelon::Catalogue &catalogue)
    : FormControls(catalogue)
{ }

std::int16_t WebControls::selectedName()
{
    return std::int16_t(tavrelon_page_list_index());
}

std::int16_t WebControls::nameCount()
{
    return std::int16_t(tavrelon_page_list_count());
}

std::string WebControls::name(std::int16_t row)
{
    if (row < 0 || row >= tavrelon_page_list_count()) {
        throw RuntimeError::invalidRow("List1", row);
    }
    return pageText(tavrelon_page_row_name, row);
}

void WebControls::checkOption(std::int16_t element)
{
    checkElement("Option1", element, tavrelon_page_option_count());
}

std::string WebControls::optionCaption(std::int16_t element)
{
    checkOption(element);
    return pageText(tavrelon_page_option_caption, element);
}

bool WebControls::optionValue(std::int16_t element)
{
    checkOption(element);
    return tavrelon_page_option_value(element) != 0;
}

void WebControls::setOptionValue(std::int16_t element, bool value)
{
    checkOption(element);
    // Checking an option that was not checked clears the others and delivers its click before
    // the page returns.
    tavrelon_page_set_option_value(element, value ? 1 : 0);
}

void WebControls::showText(const std::string &text)
{
    const auto spoken = tavrelon::announcementFor(text);
    tavrelon_page_set_text(text.data(), int(text.size()), spoken.data(), int(spoken.size()));
}
