// SPDX-License-Identifier: MIT
#pragma once
// The process-wide language code: "de" or "en", chosen at start from marker files and switchable
// at run time. It is never stored.
#include <QString>

namespace qp {

class Language {
public:
    // The current code, always "de" or "en".
    static QString code();
    // Sets the code; anything other than "de" means English.
    static void setCode(const QString& code);
    static bool isGerman() { return code() == QLatin1String("de"); }
    // The start rule: "en", then "en" if a file `en` exists in `workingDir`, then "de" if a file
    // `de` exists there ("de" wins when both exist). Returns the chosen code and sets it.
    static QString chooseStartLanguage(const QString& workingDir);
};

// Picks the German or the English text by the current language.
inline QString tr2(const QString& german, const QString& english)
{
    return Language::isGerman() ? german : english;
}

} // namespace qp
