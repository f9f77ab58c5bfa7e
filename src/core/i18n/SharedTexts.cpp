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

QString SharedTexts::fittedSizes(qint64 smallest, qint64 largest)
{
    const QString sizes = smallest == largest ? QString::number(smallest)
                                              : QStringLiteral("%1–%2").arg(smallest).arg(largest);
    return tr2(QStringLiteral("verwendete Schriftgröße: %1 pt"), QStringLiteral("font size used: %1 pt")).arg(sizes);
}

QString SharedTexts::about(const QString& version, const QString& configFolder, const QString& outputFolder)
{
    return tr2(QStringLiteral("Quillpress %1\n"
                              "Macht aus Text Bilddateien.\n\n"
                              "Lizenz: MIT-Lizenz. Copyright (c) Die Quillpress-Entwickler.\n\n"
                              "Konfigurationen (Startkonfiguration Auto.qpcf und die Dateien *.qpcf des Menüs):\n%2\n\n"
                              "Bilder werden gespeichert in:\n%3"),
               QStringLiteral("Quillpress %1\n"
                              "Turns text into image files.\n\n"
                              "Licence: MIT License. Copyright (c) The Quillpress developers.\n\n"
                              "Configurations (the start configuration Auto.qpcf and the menu's *.qpcf files):\n%2\n\n"
                              "Images are written to:\n%3"))
        .arg(version, configFolder, outputFolder);
}

} // namespace qp
