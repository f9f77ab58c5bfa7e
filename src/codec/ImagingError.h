// SPDX-License-Identifier: MIT
#pragma once
// The codec layer's one error type. Every failure inside the codec is raised as EImagingError.
#include <stdexcept>
#include <string>

namespace imaging {

class EImagingError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// printf-style formatting for the codec's messages.
std::string Format(const char* fmt, ...) __attribute__((format(printf, 1, 2)));

} // namespace imaging
