// The two text helpers the panel's settings and rig-name checks rely on. Texts are UTF-8.
// Threads: any.
#pragma once

#include <string>
#include <string_view>

// False for an empty text; otherwise true exactly when every character is ',', '-', '.' or a digit.
// It only decides whether a setting is worth converting: "1,5" and "-" pass it and still are no number.
bool IsNumericText(std::string_view text);

// The text in upper case.
std::string UpperCaseText(std::string_view text);
