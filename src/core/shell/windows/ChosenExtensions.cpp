// SPDX-License-Identifier: MIT
#include "core/shell/windows/ChosenExtensions.h"

#include <algorithm>

namespace qp::winshell {

namespace {

bool isBlankOrControl(char16_t c)
{
    return c <= u' ';
}

bool usable(const std::u16string& extension)
{
    if (extension.size() < 2 || extension.front() != u'.')
        return false;
    const std::u16string_view refused = u"<>\\/|:?\"* ";
    return std::none_of(extension.begin() + 1, extension.end(),
                        [&](char16_t c) { return refused.find(c) != std::u16string_view::npos; });
}

} // namespace

std::vector<std::u16string> parseChosenExtensions(const std::u16string& text)
{
    std::vector<std::u16string> result;
    std::size_t start = 0;
    for (;;) {
        const std::size_t comma = text.find(u',', start);
        const std::size_t end = comma == std::u16string::npos ? text.size() : comma;
        std::size_t first = start;
        std::size_t last = end;
        while (first < last && isBlankOrControl(text[first]))
            ++first;
        while (last > first && isBlankOrControl(text[last - 1]))
            --last;
        std::u16string part = text.substr(first, last - first);
        if (!part.empty()) {
            if (part.find(u'.') == std::u16string::npos)
                part.insert(part.begin(), u'.');
            if (usable(part))
                result.push_back(std::move(part));
        }
        if (comma == std::u16string::npos)
            break;
        start = comma + 1;
    }
    return result;
}

} // namespace qp::winshell
