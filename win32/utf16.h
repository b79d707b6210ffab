#pragma once

#include <string>
#include <string_view>

// The program's texts are UTF-8; Windows takes and gives UTF-16.
std::wstring toUtf16(std::string_view text);
std::string toUtf8(std::wstring_view text);
