// SPDX-License-Identifier: MIT
#pragma once
// Prints a QString as its text (UTF-8, quoted) in the values gtest reports, instead of its
// characters one by one, and a C string compared with a QString as its text, not as an address.
// Every test program with Qt gets this header before its own code (tests/CMakeLists.txt), so a
// failed comparison of texts or paths shows the texts on every system.
#include <QString>
#include <gtest/gtest.h>

#include <ostream>

inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

namespace testing::internal {

template <>
class FormatForComparison<const char*, QString> {
public:
    static std::string Format(const char* value) { return ::testing::PrintToString(value); }
};

template <>
class FormatForComparison<char*, QString> {
public:
    static std::string Format(char* value) { return ::testing::PrintToString(value); }
};

} // namespace testing::internal
