// SPDX-License-Identifier: MIT
#include "core/settings/IntegerTest.h"

namespace qp {

std::optional<qint32> toInteger(const QString& text)
{
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && (text[i] == u' ' || text[i] == u'\t'))
        ++i;
    bool negative = false;
    if (i < n && (text[i] == u'+' || text[i] == u'-')) {
        negative = text[i] == u'-';
        ++i;
    }
    if (i >= n)
        return std::nullopt;

    bool hex = false;
    if (text[i] == u'$' || text[i] == u'x' || text[i] == u'X') {
        hex = true;
        ++i;
    } else if (text[i] == u'0' && i + 1 < n && (text[i + 1] == u'x' || text[i + 1] == u'X')) {
        hex = true;
        i += 2;
    }

    if (hex) {
        const qsizetype digits = n - i;
        if (digits < 1 || digits > 8)
            return std::nullopt;
        quint32 v = 0;
        for (; i < n; ++i) {
            const char16_t c = text[i].unicode();
            const int d = (c >= u'0' && c <= u'9')   ? c - u'0'
                          : (c >= u'a' && c <= u'f') ? c - u'a' + 10
                          : (c >= u'A' && c <= u'F') ? c - u'A' + 10
                                                     : -1;
            if (d < 0)
                return std::nullopt;
            v = (v << 4) | static_cast<quint32>(d);
        }
        const qint32 pattern = static_cast<qint32>(v);
        return negative ? static_cast<qint32>(0u - v) : pattern;
    }

    qint64 v = 0;
    for (; i < n; ++i) {
        const char16_t c = text[i].unicode();
        if (c < u'0' || c > u'9')
            return std::nullopt;
        v = v * 10 + (c - u'0');
        if (v > qint64(2147483648LL))
            return std::nullopt;
    }
    if (negative)
        v = -v;
    if (v > 2147483647LL || v < -2147483648LL)
        return std::nullopt;
    return static_cast<qint32>(v);
}

bool isReservedCharacter(QChar c)
{
    return reservedCharacters().contains(c);
}

} // namespace qp
