// UTF-8 inside the program, UTF-16 at the Windows API; used by the files,
// the start-up and the window alike.
#pragma once

#include <string>
#include <string_view>

namespace cdb2xls::win32 {

std::wstring breit(std::string_view utf8);
std::string schmal(std::wstring_view utf16);
// The system's text for an error code, without the trailing line end.
std::string systemGrund(unsigned long fehler);

}  // namespace cdb2xls::win32
