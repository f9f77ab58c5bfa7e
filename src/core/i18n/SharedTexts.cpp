// SPDX-License-Identifier: MIT
#include "core/i18n/SharedTexts.h"

#include "core/i18n/Language.h"

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

QString SharedTexts::runSummary(int written, int failed, bool cancelled, const QString& folder)
{
    QString text = written == 1
        ? tr2(QStringLiteral("1 Bild gespeichert in %1"), QStringLiteral("1 image written to %1")).arg(folder)
        : tr2(QStringLiteral("%1 Bilder gespeichert in %2"), QStringLiteral("%1 images written to %2"))
              .arg(written)
              .arg(folder);
    if (failed > 0)
        text += tr2(QStringLiteral(", %1 fehlgeschlagen"), QStringLiteral(", %1 failed")).arg(failed);
    if (cancelled)
        text += tr2(QStringLiteral(" (abgebrochen)"), QStringLiteral(" (cancelled)"));
    return text;
}

} // namespace qp
