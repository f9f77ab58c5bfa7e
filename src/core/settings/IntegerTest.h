// SPDX-License-Identifier: MIT
#pragma once
// The integer test that every reader of a numeric setting applies.
#include <QString>
#include <optional>

namespace qp {

// Converts the whole text to a signed 32-bit integer: optional leading blanks, an optional sign,
// then decimal digits within the 32-bit range, or one to eight hexadecimal digits after "$", "x",
// "X", "0x" or "0X" taken as a 32-bit pattern. Anything else (empty text, inner or trailing
// blanks, other characters) gives nothing.
std::optional<qint32> toInteger(const QString& text);

inline bool passesIntegerTest(const QString& text) { return toInteger(text).has_value(); }

// The value, or `fallback` when the text fails the test.
inline qint32 integerOr(const QString& text, qint32 fallback) { return toInteger(text).value_or(fallback); }

// The nine characters refused in names and folders: ? | < > / : " * and backslash.
bool isReservedCharacter(QChar c);
inline const QString& reservedCharacters()
{
    static const QString chars = QStringLiteral("?|<>/:\"*\\");
    return chars;
}

} // namespace qp
