// SPDX-License-Identifier: MIT
#include "core/run/Messages.h"

#include "core/i18n/Language.h"
#include "core/run/FileNaming.h"

namespace qp {

std::optional<MessageText> messageText(const QString& id)
{
    const bool de = Language::isGerman();
    MessageText m;
    if (id == MessageId::keinordner) {
        m.title = de ? u"Kein Ordner angegeben"_qs : u"No Folder declared"_qs;
        m.line1 = de ? u"Ihre Bilder konnten leider nicht bearbeitet werden, da unter den"_qs
                     : u"Your Images could not be processed, because in the"_qs;
        m.line2 = de ? u"Speicheroptionen kein Ordner für die Bilder angegeben wurde."_qs
                     : u"Saving-Options no Folder is declared."_qs;
        m.line3 = de ? u"Geben Sie unter \"Ordner\" einen Ordner für Ihre Bilder an."_qs
                     : u"Enter a correct Folder for your Images and try again."_qs;
    } else if (id == MessageId::ordnerfalsch) {
        m.title = de ? u"Falscher Ordner angegeben"_qs : u"False Folder"_qs;
        m.line1 = de ? u"Dies ist kein richtiger Ordner zum Speichern von Dateien:"_qs
                     : u"This is not a correct Folder for Saving Files:"_qs;
        m.showsParameter = true;
        m.line3 = de ? u"Geben Sie unter \"Ordner\" einen richtigen Ordner für Ihre Bilder an."_qs
                     : u"Enter a correct Folder for your Images and try again."_qs;
    } else if (id == MessageId::keinname) {
        m.title = de ? u"Kein Dateiname angegeben"_qs : u"No Filename declared"_qs;
        m.line1 = de ? u"Ihre Bilder konnten leider nicht bearbeitet werden, da unter den"_qs
                     : u"Your Images could not be processed, because in the"_qs;
        m.line2 = de ? u"Speicheroptionen kein Dateiname für die Bilder angegeben wurde."_qs
                     : u"Saving-Options no Filename is declared."_qs;
        m.line3 = de ? u"Geben Sie unter \"Dateiname\" einen Namen für Ihre Bilder an."_qs
                     : u"Enter a correct Filename for your Images and try again."_qs;
    } else if (id == MessageId::keinestartkonfig) {
        m.title = de ? u"Startkonfiguration nicht definiert"_qs : u"Start Configuration not defined"_qs;
        m.line1 = de ? u"Es kann keine Startkonfiguration geladen werden, da keine definiert"_qs
                     : u"It is not possible to load a Start Configuration, because no one is"_qs;
        m.line2 = de ? u"wurde (als Datei auto.qpcf im Programmverzeichnis)."_qs
                     : u"defined (as File named auto.qpcf in the Application Folder)."_qs;
        m.line3 = de ? u"Speichern Sie eine Konfiguation als auto.qpcf im Programmverzeichnis."_qs
                     : u"Save a Configuration as auto.qpcf in the Application Folder."_qs;
    } else if (id == MessageId::speicherfehler) {
        m.title = de ? u"Fehler beim Speichern"_qs : u"Saving Error"_qs;
        m.line1 = de ? u"Es kam zu einem Fehler beim Speichern dieser Datei:"_qs
                     : u"An Erros occurs during saving this file:"_qs;
        m.showsParameter = true;
        m.line3 = de ? u"Benutzen Sie ein anderes Format."_qs : u"Please use another file format."_qs;
        m.offersOkForAll = true;
    } else if (id == MessageId::passtnicht) {
        m.title = de ? u"Text passt nicht ins Bild"_qs : u"Text does not fit the Image"_qs;
        m.line1 = de ? u"Selbst mit 1 pt passt der Text nicht in dieses Bild:"_qs
                     : u"Even at 1 pt the text does not fit this image:"_qs;
        m.showsParameter = true;
        m.line3 = de ? u"Es wurde mit 1 pt gezeichnet. Vergrößern Sie das Bild oder verkleinern Sie die Ränder."_qs
                     : u"It was drawn at 1 pt. Make the image larger or the margins smaller."_qs;
        m.offersOkForAll = true;
    } else if (id == MessageId::keinetransparenz) {
        m.title = de ? u"Keine Transparenz"_qs : u"No Transparency"_qs;
        m.line1 = de ? u"%1 kann keine Transparenz speichern: Die Hintergrundfarbe wird verwendet."_qs
                     : u"%1 cannot store transparency: the background colour is used."_qs;
        m.line3 = de ? u"Transparenz speichern zum Beispiel PNG, TIFF und GIF."_qs
                     : u"PNG, TIFF and GIF, for example, store transparency."_qs;
    } else {
        return std::nullopt;
    }
    return m;
}

QString printableText(const QString& text)
{
    QString out = text;
    for (QChar& c : out)
        if (isControlCharacter(c))
            c = QLatin1Char('?');
    return out;
}

QString messageFirstLine(const MessageText& text, const QString& parameter)
{
    return text.line1.contains(QLatin1String("%1")) ? text.line1.arg(parameter) : text.line1;
}

QString messageSecondLine(const MessageText& text, const QString& shortenedParameter)
{
    if (!text.showsParameter)
        return text.line2;
    return QLatin1Char('"') + shortenedParameter + QLatin1Char('"');
}

} // namespace qp
