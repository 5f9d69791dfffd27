// Text between the core (UTF-8) and the system's wide-character calls.
#pragma once

#include <string>
#include <string_view>

namespace vorlak {

std::wstring wideText(std::string_view utf8);
std::string utf8Text(std::wstring_view wide);

}  // namespace vorlak
