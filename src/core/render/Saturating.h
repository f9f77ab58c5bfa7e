// SPDX-License-Identifier: MIT
#pragma once
// Layout arithmetic that saturates instead of wrapping, so absurd margins, sizes or line counts
// give an absurd (and refused) image size, never a small wrong one.
#include <QtGlobal>

#include <limits>

namespace qp {

inline qint64 satAdd(qint64 a, qint64 b)
{
    constexpr qint64 kMax = std::numeric_limits<qint64>::max();
    constexpr qint64 kMin = std::numeric_limits<qint64>::min();
    if (b > 0 && a > kMax - b)
        return kMax;
    if (b < 0 && a < kMin - b)
        return kMin;
    return a + b;
}

inline qint64 satMul(qint64 a, qint64 b)
{
    constexpr qint64 kMax = std::numeric_limits<qint64>::max();
    constexpr qint64 kMin = std::numeric_limits<qint64>::min();
    if (a == 0 || b == 0)
        return 0;
    const bool negative = (a < 0) != (b < 0);
    const bool overflows = a > 0 ? (b > 0 ? a > kMax / b : b < kMin / a)
                                 : (b > 0 ? a < kMin / b : a < kMax / b);
    if (overflows)
        return negative ? kMin : kMax;
    return a * b;
}

} // namespace qp
