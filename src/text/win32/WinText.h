// WinText: the panel's texts, UTF-8 inside the program, as the UTF-16 Windows takes, and back.
// Threads: any.
#pragma once

#include <string>

namespace WinText {

std::wstring wide(const std::string &utf8);
std::string utf8(const std::wstring &wide);

} // namespace WinText
