// SPDX-License-Identifier: MIT
#include "core/shell/windows/Registry.h"

#include <algorithm>

namespace qp::winshell {

namespace {

char16_t foldCase(char16_t c)
{
    // ASCII and the Latin-1 letters, which is what key names of this program and of file types use.
    if ((c >= u'a' && c <= u'z') || (c >= 0xE0 && c <= 0xFE && c != 0xF7))
        return static_cast<char16_t>(c - 0x20);
    return c;
}

} // namespace

bool sameKeyName(std::u16string_view a, std::u16string_view b)
{
    return a.size() == b.size()
        && std::equal(a.begin(), a.end(), b.begin(), [](char16_t x, char16_t y) { return foldCase(x) == foldCase(y); });
}

} // namespace qp::winshell
