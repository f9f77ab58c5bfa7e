// SPDX-License-Identifier: MIT
#pragma once
// Prints a QString as its text (UTF-8, quoted) in the values gtest reports, instead of its bytes.
#include <QString>

#include <ostream>

inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}
