// SPDX-License-Identifier: MIT
#include "core/shell/windows/CatalogShellNames.h"

#include "core/i18n/Catalog.h"

namespace qp::winshell {

namespace {

std::u16string text(const char* control, const char* languageCode)
{
    const QString s = catalogText(QStringLiteral("einstshortcuts"), QString::fromLatin1(control),
                                  QString::fromLatin1(languageCode));
    return s.toStdU16String();
}

LanguageShellNames namesOf(const char* languageCode)
{
    return {text("dateityp", languageCode), text("sendenan_name", languageCode), text("kontext_ordner", languageCode),
            text("kontext_dateien", languageCode)};
}

} // namespace

ShellNames shellNamesFromCatalog()
{
    return {text("verb", "en"), text("konfig_endung", "en"), namesOf("de"), namesOf("en")};
}

} // namespace qp::winshell
