#include "announcement.h"

namespace tavrelon {

namespace {

constexpr std::string_view schoolPrefix = "Избрана: ";
constexpr std::string_view namesHeading = "Представители:";
constexpr std::string_view lineEnd = "\r\n";

// Takes the next line, without its end, off the front of `text`; the last line may lack one.
std::string_view takeLine(std::string_view &text)
{
    const auto end = text.find(lineEnd);
    const auto line = text.substr(0, end);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + lineEnd.size());
    return line;
}

std::string_view withoutTrailingBlanks(std::string_view name)
{
    const auto last = name.find_last_not_of(' ');
    return last == std::string_view::npos ? std::string_view {} : name.substr(0, last + 1);
}

} // namespace

std::string announcementFor(std::string_view text)
{
    auto rest = text;
    const auto first = takeLine(rest);
    if (!first.starts_with(schoolPrefix) || takeLine(rest) != namesHeading) {
        return {};
    }
    std::string spoken(first.substr(schoolPrefix.size()));
    const char *separator = ". Представители: ";
    while (!rest.empty()) {
        const auto name = withoutTrailingBlanks(takeLine(rest));
        if (!name.empty()) {
            spoken += separator;
            spoken += name;
            separator = ", ";
        }
    }
    spoken += '.';
    return spoken;
}

} // namespace tavrelon
