// SPDX-License-Identifier: MIT
#pragma once
// UTF-16 strings of the shell registration handed to and taken from the wide Win32 functions.
#include <string>

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows wide strings are UTF-16");

namespace qp::winshell {

inline const wchar_t* wide(const std::u16string& s)
{
    return reinterpret_cast<const wchar_t*>(s.c_str());
}

inline std::u16string fromWide(const wchar_t* s)
{
    return s ? std::u16string(reinterpret_cast<const char16_t*>(s)) : std::u16string();
}

inline std::u16string fromWide(const wchar_t* s, std::size_t length)
{
    return std::u16string(reinterpret_cast<const char16_t*>(s), length);
}

} // namespace qp::winshell
