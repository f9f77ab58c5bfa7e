// SPDX-License-Identifier: MIT
#include "core/i18n/Catalog.h"

#include "core/i18n/Language.h"

namespace qp {

namespace {

bool isGermanCode(const QString& code)
{
    return code == QLatin1String("de");
}

struct RowBuilder {
    std::vector<CatalogRow>& rows;
    QString window;

    void add(const char* control, TextProperty property, const char16_t* de, const char16_t* en)
    {
        rows.push_back({window, QString::fromLatin1(control), property, QString::fromUtf16(de),
                        QString::fromUtf16(en)});
    }
    void caption(const char* control, const char16_t* de, const char16_t* en)
    {
        add(control, TextProperty::Caption, de, en);
    }
    void title(const char16_t* de, const char16_t* en) { add("title", TextProperty::WindowTitle, de, en); }
    void toolTip(const char* control, const char16_t* de, const char16_t* en)
    {
        add(control, TextProperty::ToolTip, de, en);
    }
};

void addMainWindow(std::vector<CatalogRow>& rows)
{
    RowBuilder r{rows, QStringLiteral("prog")};
    r.title(u"Quillpress - Velmora", u"Quillpress - Velmora");

    // Menu. A "&" marks the access letter of an entry (unique within its menu); catalogText gives
    // the texts without it.
    r.caption("m_datei", u"&Datei", u"&File");
    r.caption("m_datei_konvert", u"&Erstellen und Speichern", u"Create and &Save");
    r.caption("m_datei_next", u"&Nächster Schritt", u"&Next Step");
    r.caption("m_bug", u"&Fehler oder Verbesserung melden..", u"&Report Bug or Improvement..");
    r.caption("m_datei_beenden", u"&Beenden", u"&Close");
    r.caption("m_einst", u"&Einstellungen", u"&Settings");
    r.caption("m_einst_ausgabe", u"&Format Optionen..", u"&Format Options..");
    r.caption("m_einst_name", u"&Dateinamen Optionen..", u"File &Name Options..");
    r.caption("m_einstshortcuts", u"&Verknüpfungen mit Dateien und Ordnern..",
              u"&Shortcuts with Files and Folders..");
    r.caption("m_einst_sprache", u"&Sprache", u"&Language");
    r.caption("m_einst_sprache_deutsch", u"&Deutsch", u"&Deutsch");
    r.caption("m_einst_sprache_english", u"&English", u"&English");
    r.caption("m_konfig", u"&Konfiguration", u"&Configuration");
    r.caption("m_konfig_save", u"Aktuelle Konfiguration &speichern", u"&Save current Configuration");
    r.caption("m_konfig_save_start",
              u"Aktuelle Konfiguration als S&tartkonfiguration speichern (auto.qpcf)",
              u"Save current Configuration as S&tart Configuration (auto.qpcf)");
    r.caption("m_konfig_load", u"Konfiguration &laden", u"&Load Configuration");
    r.caption("m_konfig_autosave", u"Konfiguration beim &Beenden speichern", u"&Auto Save Settings on Exit");
    r.caption("m_konfig_autosave_nie", u"&Nicht speichern", u"&Never");
    r.caption("m_konfig_autosave_alles", u"&Alles speichern", u"&Save all");
    r.caption("m_konfig_standard", u"&Alle Einstellungen zurücksetzen", u"&Reset all Settings");
    r.caption("m_konfig_standard_undo", u"&Zurücksetzen rückgängig machen", u"&Undo Reset");
    r.caption("m_konfig_start", u"Start&konfiguration (auto.qpcf) laden wenn vorhanden",
              u"L&oad Start Configuration (auto.qpcf) if possible");
    // The per-language menus keep their own language; only one pair is visible at a time.
    r.caption("m_soft_de", u"Software", u"Software");
    r.caption("m_soft_en", u"Software", u"Software");
    r.caption("m_info_de", u"&Hilfe und Info", u"&Hilfe und Info");
    r.caption("m_info_en", u"&Help and Information", u"&Help and Information");
    r.caption("m_hilfe_de", u"&Hilfe und Einführung", u"&Hilfe und Einführung");
    r.caption("m_bug_de", u"&Fehler oder Verbesserung melden..", u"&Fehler oder Verbesserung melden..");
    r.caption("m_hilfe_en", u"&Help and Introduction", u"&Help and Introduction");
    r.caption("m_bug_en", u"&Report Bug or Improvement..", u"&Report Bug or Improvement..");
    r.caption("m_about_de", u"Ü&ber Quillpress", u"Ü&ber Quillpress");
    r.caption("m_about_en", u"&About Quillpress", u"&About Quillpress");

    // Buttons below the pages.
    r.caption("durchfuehren", u"Erstellen und Speichern", u"Create and Save");
    r.caption("weiter", u"Weiter >>", u"Next >>");

    // Page "Text".
    r.caption("einst_text", u"Text", u"Text");
    r.caption("gb1", u"Welcher Text soll auf dem Bild stehen?", u"Which text should be written on the image?");
    r.caption("txt_all", u"Den gesamten Text auf ein Bild schreiben", u"Write the whole text on one image");
    r.caption("txt_line", u"Jede Zeile als einzelnes Bild speichern, \\nl ist eine neue Zeile",
              u"Each line should be saved as a single image, \\nl can be used as new line");
    r.caption("Label22Caption", u"Zeile:", u"Line:");
    r.toolTip("Memo1", u"Der Text, der auf das Bild geschrieben wird", u"The text that is written on the image");

    // Page "Font and Format".
    r.caption("einst_schrift", u"Schrift und Format", u"Font and Format");
    r.caption("gb2", u"Welche Schrift soll verwendet werden?", u"Which font should be used?");
    r.caption("Label12", u"Schriftgröße", u"Font Size");
    r.caption("Label13", u"Format", u"Format");
    r.caption("cb_bold", u"Fett", u"Bold");
    r.caption("cb_italic", u"Kursiv", u"Italic");
    r.caption("cb_underline", u"Unterstrichen", u"Underline");
    r.caption("cb_strikeout", u"Durchgestrichen", u"Strike-out");
    r.caption("Label25", u"Drehung", u"Rotation");
    r.caption("rb_drehung_0", u"Keine", u"None");
    r.caption("Label14", u"Schrift- und Hintergrundfarbe", u"Font and Backgound Color");
    r.caption("BitBtn14", u"Schriftfarbe..", u"Font Color..");
    r.caption("BitBtn15", u"Hintergrundfarbe..", u"Background Color..");
    r.caption("cb_transparent", u"Transparenter Hintergrund", u"Transparent background");
    r.toolTip("cb_transparent",
              u"Das Bild bekommt keinen Hintergrund: Die Schrift wird in ihrer Farbe mit Alphakanal "
              u"gespeichert, ohne Säume auf jedem Untergrund. Formate ohne Transparenz (JPEG, BMP, PGM, "
              u"PPM, PFM) verwenden die Hintergrundfarbe.",
              u"The image gets no background: the text is stored in its colour with an alpha channel, "
              u"without fringes on any background. Formats without transparency (JPEG, BMP, PGM, PPM, "
              u"PFM) use the background colour.");
    r.caption("Label16", u"Schriftart", u"Font");
    for (const char* pipette : {"BitBtn13", "BitBtn16"})
        r.toolTip(pipette,
                  u"Maustaste hier drücken und über eine beliebige Stelle des Bildschirms ziehen, um deren "
                  u"Farbe zu übernehmen",
                  u"Press here and drag over any point of the screen to take its colour");
    r.caption("pipetteNote",
              u"Diese Arbeitsumgebung erlaubt Programmen nicht, Bildschirmfarben zu lesen: Die Pipette kann "
              u"hier keine Farbe aufnehmen. Geben Sie die Farbe ein oder wählen Sie sie im Farbdialog.",
              u"This desktop does not let programs read colours from the screen, so the pipette cannot pick "
              u"a colour here. Type the colour or choose it in the colour dialog.");

    // Page "Margins and Spaces".
    r.caption("einst_abstand", u"Ränder und Abstände", u"Margins and Spaces");
    r.caption("gb3", u"Welche Abstände und Ränder sollen verwendet werden?",
              u"Which margins and interspaces should be used?");
    r.caption("abstand_var", u"Variable Bildgröße", u"Variable Image Size");
    r.caption("Label17", u"Bildgröße richtet sich nach Breite des Textes", u"Image size depends on the text width");
    r.caption("max_breite", u"Maximale Breite", u"Maximum Width");
    r.caption("Label23", u"Ist die maximale Breite erreicht, wird der Text",
              u"If the maximum width is reached, the text will");
    r.caption("Label24", u"in die nächste Zeile umgebrochen.", u"be wrapped to the next line.");
    r.caption("abstand_fix", u"Fixe Bildgröße", u"Fixed Image Size");
    r.caption("Label19", u"Bild hat immer die gleiche Breite und Höhe", u"Image size is fixed to a given size.");
    r.caption("Label3", u"Breite", u"Width");
    r.caption("Label4", u"Höhe", u"Height");
    r.caption("fix_wrap", u"Zeilen werden bei Bedarf umgebrochen", u"Lines will be wrapped if necessary");
    r.caption("Label18", u"Abstände", u"Spacing");
    r.caption("Label5", u"Oben", u"Top");
    r.caption("Label6", u"Unten", u"Bottom");
    r.caption("Label10", u"Rechts", u"Right");
    r.caption("Label11", u"Links", u"Left");
    r.caption("Label1", u"Zeilenabstand", u"Line Height");
    r.caption("Label15", u"Tipp 1: Sie können auch negative Werte eingeben",
              u"Tipp 1: You can also use negative values");
    r.caption("Label21", u"Tipp 2: Benutzen Sie das Mausrad zum justieren",
              u"Tipp 2: Use your mouse wheel to justify");
    r.caption("Label20", u"Text-Ausrichtung", u"Text-Align");
    r.caption("rb_alleft", u"Links", u"Left");
    r.caption("rb_alright", u"Rechts", u"Right");
    r.caption("rb_alcenter", u"Zentriert", u"Center");
    r.caption("rb_aljustify", u"Blocksatz", u"Justified");
    r.toolTip("rb_aljustify",
              u"Jede umbrochene Zeile eines Absatzes außer der letzten reicht von Rand zu Rand; dafür werden "
              u"die Leerzeichen verbreitert.",
              u"Every wrapped line of a paragraph but its last reaches from margin to margin; the spaces "
              u"are widened for it.");
    r.caption("cb_fitbox", u"Schrift verkleinern, bis der Text passt", u"Shrink the font to fit");
    r.toolTip("cb_fitbox",
              u"Bei fixer Bildgröße wird die größte Schriftgröße bis zur gewählten verwendet, bei der der "
              u"ganze Text mit seinen Rändern ins Bild passt.",
              u"With a fixed image size, the largest font size up to the chosen one is used at which the "
              u"whole text fits into the image with its margins.");
    r.add("fitbox_size", TextProperty::StatusText, u"Verwendete Schriftgröße: %1 pt", u"Font size used: %1 pt");
    r.add("fitbox_none", TextProperty::StatusText, u"Passt selbst mit 1 pt nicht ins Bild",
          u"Does not fit the image even at 1 pt");
    r.caption("cb_inkbox", u"Größe nach Schriftbild", u"Size from drawn glyphs");
    r.toolTip("cb_inkbox",
              u"Die Ränder zählen ab der sichtbaren Schrift: Kursive Überhänge, Akzente, Unterlängen und "
              u"Zeichen, die über die Zeile hinausragen, werden nie abgeschnitten.",
              u"The margins count from the visible glyphs: italic overhangs, accents, descenders and "
              u"characters that reach beyond the line are never cut off.");

    // Page "Save". The folder and file-name labels carry the words the messages refer to.
    r.caption("einst_speichern", u"Speichern", u"Save");
    r.caption("gb4", u"Wie und wo sollen die Bilder gespeichert werden?",
              u"Where and how should the images be stored?");
    r.caption("Label9", u"Ordner", u"Folder");
    r.caption("Label7", u"Dateiname", u"File Name");
    r.caption("Label8", u"Dateiformat", u"File Format");
    r.caption("outordnerbt", u"Ordner wählen..", u"Select Folder..");
    r.caption("opt_filename", u"Optionen für Dateinamen..", u"Options for File Names..");
    r.caption("n_auto", u"Dateiname automatisch aus dem Text generieren", u"Create file name from text automatically");
    r.caption("n_eigenen", u"Bilder mit diesem Dateinamen benennen:", u"Use this file name for the images:");

    // The save and the open dialog of configurations share one filter.
    r.add("konfig_dateiname", TextProperty::DialogFileName, u"Konfiguration.qpcf", u"Configuration.qpcf");
    r.add("konfig_filter", TextProperty::DialogFilter, u"Quillpress Konfiguration (*.qpcf)|*.qpcf",
          u"Quillpress Configuration (*.qpcf)|*.qpcf");
}

void addStartWindow(std::vector<CatalogRow>& rows)
{
    RowBuilder r{rows, QStringLiteral("start")};
    r.title(u"Quillpress - Velmora", u"Quillpress - Velmora");
}

void addProgressAndMessageWindows(std::vector<CatalogRow>& rows)
{
    RowBuilder a{rows, QStringLiteral("sm_achtung")};
    a.title(u"Quillpress - Velmora", u"Quillpress - Velmora");
    a.caption("Label1", u"Datei bereits vorhanden", u"File already exists");
    a.caption("Label2", u"Die folgende Datei ist bereits vorhanden:", u"The following File is already exists:");
    a.caption("Label4", u"Soll diese Datei mit der neuen Datei überschrieben werden?",
              u"Shall this File be overwritten with the new File? ");
    a.caption("Label5", u"Überschriebene Dateien können nicht wiederhergestellt werden.",
              u"Overwritten Files cannot be restored. ");
    a.caption("OK", u"Ja", u"Yes");
    a.caption("OKalle", u"Ja für alle", u"Yes for all");
    a.caption("Nein", u"Nein", u"No");
    a.caption("NeinAlle", u"Nein für alle", u"No for all");
    a.caption("Abbrechen", u"Abbrechen", u"Break");

    RowBuilder b{rows, QStringLiteral("sm_bearbeitung")};
    b.title(u"Brindlewick - Velmora", u"Brindlewick - Velmora");
    b.caption("Abbrechen", u"Abbrechen", u"Break");

    // The message lines are written anew for every message (run/Messages.h).
    RowBuilder m{rows, QStringLiteral("sm_meldung")};
    m.title(u"Quillpress - Velmora", u"Quillpress - Velmora");
    m.caption("OKalle", u"OK für alle", u"OK for all");
}

void addShellWindow(std::vector<CatalogRow>& rows)
{
    RowBuilder r{rows, QStringLiteral("einstshortcuts")};
    r.title(u"Verknüpfungen", u"Shortcuts");
    r.caption("Label6", u"Das Programm muss für diese Änderungen als Administrator ausgeführt werden.",
              u"The Program must be executed as an Administrator to apply this functions.");
    r.caption("AlsAdminStarten", u"Programm als Admin neu starten", u"Restart Program as Admin");
    r.caption("gb1", u"Verknüpfung mit Konfigurationsdateien (*.qpcf)", u"Shortcut to Configuration Files (*.qpcf)");
    r.caption("Label1", u"Verknüpfung dieses Programms mit Konfigurationsdateien (Dateiendung: .qpcf)",
              u"Shortcut of this Application with Configuration Files (File Extension: .qpcf)");
    r.caption("gb2", u"Senden an", u"Send to");
    r.caption("Label7", u"Anzeige dieses Programms im \"Senden an\" - Explorer Kontextmenü",
              u"Show this Application in the Explorer Context Menu \"Send to\"");
    r.caption("gb3", u"Verknüpfung mit Ordnern", u"Shortcut with Folders");
    r.caption("Label4", u"Anzeige dieses Programms im Explorer Kontextmenü von Ordnern",
              u"Show this Application in the Explorer Context Menu of Folders");
    r.caption("gb4", u"Verknüpfung mit Dateien", u"Shortcut with Files");
    r.caption("Label10", u"Anzeige dieses Programms im Explorer Kontextmenü aller Dateien",
              u"Show this Application in the Explorer Context Menu of all Files");
    r.caption("Label3", u"Anzeige dieses Programms im Explorer Kontextmenü dieser Dateien:",
              u"Show this Application in the Explorer Context Menu of these Files:");
    for (const char* button : {"KonfigAn", "SendenAnAn", "OrdnerAn", "AlleDateienAn", "BeliebigeDateienAn"})
        r.caption(button, u"Verknüpfen", u"Register");
    for (const char* button : {"KonfigAus", "SendenAnAus", "OrdnerAus", "AlleDateienAus", "BeliebigeDateienAus"})
        r.caption(button, u"Entfernen", u"Remove");
    r.caption("OK", u"OK", u"OK");

    // Written by state: the registration groups' status labels and the administrator line Label9.
    r.add("status_aktiv", TextProperty::StatusText, u"Aktiv", u"Activated");
    r.add("status_nicht_aktiv", TextProperty::StatusText, u"Nicht aktiv", u"Not activated");
    r.add("admin_ja", TextProperty::StatusText, u"Das Programm wird gerade als Administrator ausgeführt.",
          u"The Program is running as an Administrator.");
    r.add("admin_nein", TextProperty::StatusText,
          u"Das Programm wird gerade nicht als Administrator ausgeführt.",
          u"The Program is not running as an Administrator.");
    // Under the configuration files' status: the entry that opens them with this program.
    r.add("konfig_eintrag", TextProperty::StatusText, u"Öffnet mit diesem Programm über den Eintrag %1",
          u"Opens with this program through the entry %1");
    // Where registration writes to is per user on a desktop with per-user registration: the note
    // (instead of Label6) and the state line (instead of admin_ja / admin_nein) say for whom.
    r.add("bereich_hinweis", TextProperty::StatusText,
          u"Verknüpfungen gelten für diesen Benutzer; als Administrator gestartet, für alle Benutzer.",
          u"Registrations apply to this user; started as an Administrator, to all users.");
    r.add("bereich_benutzer", TextProperty::StatusText,
          u"Das Programm läuft als dieser Benutzer: Verknüpfungen gelten für diesen Benutzer.",
          u"The Program is running as this user: registrations apply to this user.");
    r.add("bereich_alle", TextProperty::StatusText,
          u"Das Programm läuft als Administrator: Verknüpfungen gelten für alle Benutzer.",
          u"The Program is running as an Administrator: registrations apply to all users.");
    // The restart as administrator: why its button is disabled, and how a try ended.
    r.add("admin_kein_pkexec", TextProperty::StatusText,
          u"Der Neustart als Administrator braucht pkexec, das hier nicht installiert ist.",
          u"The restart as an Administrator needs pkexec, which is not installed here.");
    r.add("admin_keine_aktion", TextProperty::StatusText,
          u"Für dieses Programm (%1) ist keine polkit-Aktion installiert.",
          u"No polkit action is installed for this program (%1).");
    r.add("admin_wartet", TextProperty::StatusText, u"Warte auf die Bestätigung als Administrator …",
          u"Waiting for the confirmation as an Administrator …");
    r.add("admin_abgelehnt", TextProperty::StatusText,
          u"Der Neustart als Administrator wurde abgelehnt. Das Programm läuft weiter.",
          u"The restart as an Administrator was declined. The program keeps running.");
    r.add("admin_fehlgeschlagen", TextProperty::StatusText,
          u"Der Neustart als Administrator ist fehlgeschlagen. Das Programm läuft weiter.",
          u"The restart as an Administrator failed. The program keeps running.");

    // Names handed to the shell. Removal and the status check look for both languages' names.
    r.add("verb", TextProperty::ShellName, u"VLMquillpress", u"VLMquillpress");
    r.add("konfig_endung", TextProperty::ShellName, u".qpcf", u".qpcf");
    r.add("dateityp", TextProperty::ShellName, u"VLM Quillpress Konfiguration", u"VLM Quillpress Configuration");
    r.add("sendenan_name", TextProperty::ShellName, u"VLM Quillpress", u"VLM Quillpress");
    r.add("kontext_ordner", TextProperty::ShellName, u"Öffnen mit VLM Quillpress", u"Open with Quillpress");
    r.add("kontext_dateien", TextProperty::ShellName, u"Öffnen mit VLM Quillpress", u"Open with VLM Quillpress");
}

void addOptionWindows(std::vector<CatalogRow>& rows)
{
    // The OK buttons (Button1) read "OK" in both languages and are left alone.
    RowBuilder o{rows, QStringLiteral("optionen")};
    o.title(u"Optionen", u"Options");
    o.caption("GroupBox2", u"Erweiterte Einstellungen", u"Advanced Settings");
    o.caption("Label10", u"Ausgabe-Qualität für Formate JPEG, JNG, MNG und JPG2000",
              u"Output-Quality for the formats JPEG, JNG, MNG and JPG2000");
    o.caption("progressivaktiv", u"Progressiv-Funktion für Formate JPEG, JNG und MNG verwenden",
              u"Use Progressive-Function for the formats JPEG, JNG and MNG");
    o.caption("psdlayers", u"Bild als Ebene einfügen im Photoshop Format PSD",
              u"Insert image as layer in format PSD (Photoshop)");
    o.caption("cb_antialias", u"Antialias Schrift", u"Antialias Font");

    RowBuilder n{rows, QStringLiteral("optionen_name")};
    n.title(u"Optionen für Dateibenennung", u"Options for File Naming");
    n.caption("gb1", u"Änderung der Groß- und Kleinschreibung", u"Case Modification");
    n.caption("cb_lower", u"Nur Kleinbuchstaben", u"Only lowercase");
    n.caption("cb_upper", u"Nur Großbuchstaben", u"Only uppercase");
    n.caption("cb_keine", u"Keine Änderung", u"No case modification");
    n.caption("gb2", u"Nummerierung", u"Numeration");
    n.caption("cb_numsofort", u"Beim ersten Bild mit Nummerierung beginnen", u"Start numeration at the first file name");
    n.caption("cb_num", u"Nummerierung bei dieser Zahl beginnen", u"Start numeration with this number");
    n.caption("gb3", u"Schreibweise", u"Writing");
    n.caption("cb_buchst", u"Nur diese Buchstaben sollen im Dateinamen vorkommen:",
              u"Only this characters should appear in the file name:");
    n.caption("cb_max", u"Maximale Länge des Dateinamens ohne Nummerierung:",
              u"Maximum length of the file namen without numeration:");
    n.caption("cb_leerzeichen", u"Statt Leerzeichen dieses Zeichen verwenden:", u"Use this character instead of spaces:");
    n.caption("cb_ersatz", u"Gelöschte Zeichen durch dieses Zeichen ersetzen:",
              u"Deleted characters should be replaced with:");
    n.caption("Label1", u"Tipp: Tipp: Sie können die Felder auch leer lassen oder mehrere Zeichen benutzen",
              u"Tipp: You can also leave boxes empty or use more than one character");
}

} // namespace

QString CatalogRow::text(const QString& languageCode) const
{
    return isGermanCode(languageCode) ? german : english;
}

const std::vector<CatalogRow>& catalogRows()
{
    // The order in which a language switch re-applies the windows.
    static const std::vector<CatalogRow> rows = [] {
        std::vector<CatalogRow> r;
        addMainWindow(r);
        addStartWindow(r);
        addProgressAndMessageWindows(r);
        addShellWindow(r);
        addOptionWindows(r);
        return r;
    }();
    return rows;
}

QStringList catalogWindows()
{
    QStringList windows;
    for (const CatalogRow& row : catalogRows())
        if (!windows.contains(row.window))
            windows << row.window;
    return windows;
}

const CatalogRow* catalogRow(const QString& window, const QString& control)
{
    for (const CatalogRow& row : catalogRows())
        if (row.window == window && row.control == control)
            return &row;
    return nullptr;
}

const CatalogRow* catalogRow(const QString& window, const QString& control, TextProperty property)
{
    for (const CatalogRow& row : catalogRows())
        if (row.window == window && row.control == control && row.property == property)
            return &row;
    return nullptr;
}

QString withoutAccessMark(const QString& caption)
{
    QString text;
    text.reserve(caption.size());
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption[i] == u'&' && i + 1 < caption.size())
            ++i; // "&x" is x, "&&" is "&"
        text += caption[i];
    }
    return text;
}

namespace {

QString rowText(const CatalogRow* row, const QString& languageCode)
{
    if (!row)
        return {};
    const QString text = row->text(languageCode);
    return row->property == TextProperty::Caption ? withoutAccessMark(text) : text;
}

} // namespace

QString catalogText(const QString& window, const QString& control, TextProperty property)
{
    return rowText(catalogRow(window, control, property), Language::code());
}

QString catalogText(const QString& window, const QString& control)
{
    return catalogText(window, control, Language::code());
}

QString catalogText(const QString& window, const QString& control, const QString& languageCode)
{
    return rowText(catalogRow(window, control), languageCode);
}

const std::vector<LanguageRule>& languageRules()
{
    static const std::vector<LanguageRule> rules = {
        {QStringLiteral("prog"), QStringLiteral("m_soft_de"), LanguageRuleKind::Visible, true},
        {QStringLiteral("prog"), QStringLiteral("m_info_de"), LanguageRuleKind::Visible, true},
        {QStringLiteral("prog"), QStringLiteral("m_soft_en"), LanguageRuleKind::Visible, false},
        {QStringLiteral("prog"), QStringLiteral("m_info_en"), LanguageRuleKind::Visible, false},
        {QStringLiteral("prog"), QStringLiteral("m_einst_sprache_deutsch"), LanguageRuleKind::Checked, true},
        {QStringLiteral("prog"), QStringLiteral("m_einst_sprache_english"), LanguageRuleKind::Checked, false},
        // The English splash picture lies over the German one and hides it.
        {QStringLiteral("start"), QStringLiteral("en1"), LanguageRuleKind::Visible, false},
    };
    return rules;
}

namespace {
const LanguageRule* findRule(const QString& window, const QString& control, LanguageRuleKind kind)
{
    for (const LanguageRule& rule : languageRules())
        if (rule.kind == kind && rule.window == window && rule.control == control)
            return &rule;
    return nullptr;
}
} // namespace

bool catalogVisible(const QString& window, const QString& control, const QString& languageCode)
{
    const LanguageRule* rule = findRule(window, control, LanguageRuleKind::Visible);
    return rule ? rule->whenGerman == isGermanCode(languageCode) : true;
}

bool catalogChecked(const QString& window, const QString& control, const QString& languageCode)
{
    const LanguageRule* rule = findRule(window, control, LanguageRuleKind::Checked);
    return rule ? rule->whenGerman == isGermanCode(languageCode) : false;
}

QStringList toQtNameFilters(const QString& filter)
{
    QStringList result;
    const QStringList parts = filter.split(QLatin1Char('|'));
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString& description = parts[i];
        // A file dialog separates several patterns with ";", a Qt filter with blanks.
        const QString patterns = parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts).join(QLatin1Char(' '));
        const QString inParentheses = QLatin1Char('(') + patterns + QLatin1Char(')');
        result << (description.contains(inParentheses) ? description
                                                        : description + QLatin1Char(' ') + inParentheses);
    }
    return result;
}

StatusDisplay shortcutStatusDisplay(bool active, const QString& languageCode)
{
    if (active)
        return {catalogText(QStringLiteral("einstshortcuts"), QStringLiteral("status_aktiv"), languageCode),
                QColor(0, 128, 0)};
    return {catalogText(QStringLiteral("einstshortcuts"), QStringLiteral("status_nicht_aktiv"), languageCode),
            QColor(255, 0, 0)};
}

StatusDisplay adminStatusDisplay(bool isAdmin, const QString& languageCode)
{
    if (isAdmin)
        return {catalogText(QStringLiteral("einstshortcuts"), QStringLiteral("admin_ja"), languageCode),
                QColor(0, 128, 0)};
    return {catalogText(QStringLiteral("einstshortcuts"), QStringLiteral("admin_nein"), languageCode),
            QColor(255, 0, 0)};
}

StatusDisplay registrationScopeDisplay(bool isAdmin, const QString& languageCode)
{
    if (isAdmin)
        return {catalogText(QStringLiteral("einstshortcuts"), QStringLiteral("bereich_alle"), languageCode),
                QColor(0, 128, 0)};
    return {catalogText(QStringLiteral("einstshortcuts"), QStringLiteral("bereich_benutzer"), languageCode),
            QColor(0, 0, 0)};
}

} // namespace qp
