#include "i18n/SharedTexts.h"

#include "i18n/Language.h"

namespace qp {

QString SharedTexts::ordnerwahl()
{
    return tr2(QStringLiteral("Wählen Sie einen Ordner, in dem die Dateien gespeichert werden."),
               QStringLiteral("Choose a Folder for Output"));
}

QString SharedTexts::bearbeitung()
{
    return tr2(QStringLiteral("Bilder werden bearbeitet"), QStringLiteral("Processing"));
}

QString SharedTexts::aktuellesBild()
{
    return tr2(QStringLiteral("Aktuelles Bild:"), QStringLiteral("Current Image:"));
}

} // namespace qp
