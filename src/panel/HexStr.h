// The two text helpers the panel's settings and rig-name checks rely on.
// Threads: any.
#pragma once

#include <QString>

// False for an empty text; otherwise true exactly when every character is ',', '-', '.' or a digit.
// It only decides whether a setting is worth converting: "1,5" and "-" pass it and still are no number.
bool IsNumericText(const QString &text);

// The text in upper case by the user's locale rules.
QString UpperCaseText(const QString &text);
