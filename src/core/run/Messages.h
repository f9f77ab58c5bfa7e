// SPDX-License-Identifier: MIT
#pragma once
// The problems the program reports, by message identifier, with their texts in both languages.
#include <QString>
#include <optional>

namespace qp {

namespace MessageId {
inline const QString keinordner = QStringLiteral("keinordner");
inline const QString ordnerfalsch = QStringLiteral("ordnerfalsch");
inline const QString keinname = QStringLiteral("keinname");
inline const QString keinestartkonfig = QStringLiteral("keinestartkonfig");
inline const QString speicherfehler = QStringLiteral("speicherfehler");
// The text of an image does not fit its fixed size even at 1 point (shrinking to fit).
inline const QString passtnicht = QStringLiteral("passtnicht");
// The chosen format cannot keep a transparent background, so the background colour is used.
inline const QString keinetransparenz = QStringLiteral("keinetransparenz");
} // namespace MessageId

struct MessageText {
    QString title;
    QString line1;
    QString line2;        // fixed second line; empty when the message shows its parameter there
    QString line3;
    bool showsParameter = false;
    bool offersOkForAll = false;   // "OK for all" is offered with the save error and the fit report only
};

// The texts of a message in the current language; nothing for an unknown identifier (compared
// exactly, case included).
std::optional<MessageText> messageText(const QString& id);

// A path or cause as it may be shown on one line: every control character (line breaks, escape
// sequences) becomes "?". Names never hold them; a folder or a message may.
QString printableText(const QString& text);

// The first line as shown: the parameter (a format's name) in the place of "%1", where it has one.
QString messageFirstLine(const MessageText& text, const QString& parameter);

// The second line as shown: the fixed line, or the (already shortened) parameter in double quotes.
QString messageSecondLine(const MessageText& text, const QString& shortenedParameter);

} // namespace qp
