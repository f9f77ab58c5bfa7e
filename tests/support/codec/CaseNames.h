// SPDX-License-Identifier: MIT
#pragma once
// Readable names for the cases of parameterised tests, so that a failure names its case.
#include <gtest/gtest.h>

#include <cctype>
#include <string>

namespace codectest {

// `text` as a test name: every character a name cannot hold (anything but letters, digits and
// '_') becomes '_'.
inline std::string CaseName(const std::string& text)
{
    std::string name = text.empty() ? std::string("empty") : text;
    for (char& c : name)
        if (!std::isalnum(static_cast<unsigned char>(c)))
            c = '_';
    return name;
}

// Name generator for INSTANTIATE_TEST_SUITE_P: the case's `what`.
struct CaseWhat {
    template <typename Case>
    std::string operator()(const ::testing::TestParamInfo<Case>& info) const
    {
        return CaseName(info.param.what);
    }
};

} // namespace codectest
