// A program built with Debian's hardening but without stack-clash and control-flow protection:
// packaging/check-hardening must find both missing. Its frame is larger than a page, as some of
// Tavrelon's are, so that stack-clash protection would probe it.
#include <array>
#include <cstdio>

namespace {

int echoed(const char *text)
{
    std::array<char, 20000> copy {};
    std::snprintf(copy.data(), copy.size(), "%s", text);
    return std::puts(copy.data());
}

} // namespace

int main(int argc, char **argv)
{
    return echoed(argc > 0 ? argv[0] : "") < 0 ? 1 : 0;
}
