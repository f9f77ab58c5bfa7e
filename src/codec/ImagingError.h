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

// printf-style formatting for the codec's messages. MinGW's C++ library formats the C99 way
// (%zu and the like) on Windows too, which its compiler checks as gnu_printf.
#ifdef __MINGW32__
#define QP_PRINTF_FORMAT gnu_printf
#else
#define QP_PRINTF_FORMAT printf
#endif
std::string Format(const char* fmt, ...) __attribute__((format(QP_PRINTF_FORMAT, 1, 2)));

} // namespace imaging
