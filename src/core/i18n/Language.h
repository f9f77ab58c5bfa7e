// SPDX-License-Identifier: MIT
#pragma once
// The process-wide language code: "de" or "en", chosen at start from marker files or else the
// desktop's language, and switchable at run time. It is never stored.
#include <QProcessEnvironment>
#include <QString>

namespace qp {

class Language {
public:
    // The current code, always "de" or "en".
    static QString code();
    // Sets the code; anything other than "de" means English.
    static void setCode(const QString& code);
    static bool isGerman() { return code() == QLatin1String("de"); }
    // The start rule: "de" if a file `de` exists in `workingDir`, else "en" if a file `en` exists
    // there, else the desktop's language of `environment`. Returns the chosen code and sets it.
    static QString chooseStartLanguage(const QString& workingDir,
                                       const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment());
    // The desktop's language: the first of LANGUAGE, LC_ALL, LC_MESSAGES and LANG that is set and
    // not empty decides, "de" when it begins with "de", "en" otherwise (also when none is set).
    static QString desktopLanguage(const QProcessEnvironment& environment);
};

// Picks the German or the English text by the current language.
inline QString tr2(const QString& german, const QString& english)
{
    return Language::isGerman() ? german : english;
}

} // namespace qp
