// SPDX-License-Identifier: MIT
#include "core/i18n/Catalog.h"
#include "core/i18n/FormatNames.h"
#include "core/i18n/Language.h"
#include "core/settings/SettingsModel.h"

#include <QSet>
#include <gtest/gtest.h>

using namespace qp;

namespace {

// Keeps the process-wide language code as it was before a test.
class CatalogTest : public ::testing::Test {
protected:
    void SetUp() override { m_saved = Language::code(); }
    void TearDown() override { Language::setCode(m_saved); }

private:
    QString m_saved;
};

} // namespace

TEST_F(CatalogTest, EveryRowHasBothLanguagesAndAUniqueKey)
{
    const QStringList windows = {"prog",       "start",          "sm_achtung",
                                 "sm_bearbeitung", "sm_meldung", "einstshortcuts",
                                 "optionen",   "optionen_name"};
    const QStringList found = catalogWindows();
    EXPECT_EQ(QSet<QString>(found.begin(), found.end()), QSet<QString>(windows.begin(), windows.end()));

    QSet<QString> keys;
    for (const CatalogRow& row : catalogRows()) {
        // A control may have one caption and one tooltip.
        const QString key = row.window + '/' + row.control + '/' + QString::number(int(row.property));
        EXPECT_FALSE(row.german.trimmed().isEmpty()) << key.toStdString();
        EXPECT_FALSE(row.english.trimmed().isEmpty()) << key.toStdString();
        EXPECT_FALSE(keys.contains(key)) << "duplicate " << key.toStdString();
        keys.insert(key);
    }
    for (const QString& window : windows)
        EXPECT_NE(catalogRow(window, "title"), nullptr) << window.toStdString();
}

TEST_F(CatalogTest, MainWindowHasACaptionForEveryControlAndMenuEntry)
{
    const char* controls[] = {
        "durchfuehren", "weiter", "einst_text", "gb1", "txt_all", "txt_line", "einst_schrift", "gb2",
        "Label12", "Label13", "cb_bold", "cb_italic", "cb_underline", "cb_strikeout", "Label25",
        "rb_drehung_0", "Label14", "BitBtn14", "BitBtn15", "Label16", "einst_abstand", "gb3",
        "abstand_var", "Label17", "max_breite", "Label23", "Label24", "abstand_fix", "Label19",
        "Label3", "Label4", "fix_wrap", "Label18", "Label5", "Label6", "Label10", "Label11", "Label1",
        "Label15", "Label21", "Label20", "rb_alleft", "rb_alright", "rb_alcenter", "einst_speichern",
        "gb4", "Label9", "Label7", "Label8", "outordnerbt", "opt_filename", "n_auto", "n_eigenen",
        // menu
        "m_datei", "m_datei_konvert", "m_datei_next", "m_bug", "m_datei_beenden", "m_einst",
        "m_einst_ausgabe", "m_einst_name", "m_einstshortcuts", "m_einst_sprache",
        "m_einst_sprache_deutsch", "m_einst_sprache_english", "m_konfig", "m_konfig_save",
        "m_konfig_save_start", "m_konfig_load", "m_konfig_autosave", "m_konfig_autosave_nie",
        "m_konfig_autosave_alles", "m_konfig_standard", "m_konfig_start", "m_soft_de", "m_soft_en",
        "m_info_de", "m_info_en"};
    for (const char* control : controls) {
        const CatalogRow* row = catalogRow("prog", control);
        ASSERT_NE(row, nullptr) << control;
        EXPECT_EQ(row->property, TextProperty::Caption) << control;
    }
}

TEST_F(CatalogTest, TellingRowsReadExactly)
{
    struct Case {
        const char* window;
        const char* control;
        TextProperty property;
        QString german;
        QString english;
    };
    const Case cases[] = {
        {"prog", "title", TextProperty::WindowTitle, "Quillpress - Velmora", "Quillpress - Velmora"},
        {"prog", "txt_line", TextProperty::Caption,
         "Jede Zeile als einzelnes Bild speichern, \\nl ist eine neue Zeile",
         "Each line should be saved as a single image, \\nl can be used as new line"},
        {"prog", "Label14", TextProperty::Caption, QString::fromUtf8("Schrift- und Hintergrundfarbe"),
         "Font and Backgound Color"},
        {"prog", "m_datei_next", TextProperty::Caption, QString::fromUtf8("N\u00e4chster Schritt"), "Next Step"},
        {"prog", "m_einst_sprache_deutsch", TextProperty::Caption, "Deutsch", "Deutsch"},
        {"prog", "m_info_de", TextProperty::Caption, "Hilfe und Info", "Hilfe und Info"},
        {"prog", "Label15", TextProperty::Caption, QString::fromUtf8("Tipp 1: Sie k\u00f6nnen auch negative Werte eingeben"),
         "Tipp 1: You can also use negative values"},
        {"prog", "konfig_dateiname", TextProperty::DialogFileName, "Konfiguration.qpcf", "Configuration.qpcf"},
        {"prog", "konfig_filter", TextProperty::DialogFilter, "Quillpress Konfiguration (*.qpcf)|*.qpcf",
         "Quillpress Configuration (*.qpcf)|*.qpcf"},
        {"prog", "Label22Caption", TextProperty::Caption, "Zeile:", "Line:"},
        {"prog", "BitBtn16", TextProperty::ToolTip,
         QString::fromUtf8("Maustaste hier dr\u00fccken und \u00fcber eine beliebige Stelle des Bildschirms ziehen, "
                           "um deren Farbe zu \u00fcbernehmen"),
         "Press here and drag over any point of the screen to take its colour"},
        // The entries of the per-language Help menus keep their menu's language.
        {"prog", "m_hilfe_de", TextProperty::Caption, QString::fromUtf8("Hilfe und Einf\u00fchrung"),
         QString::fromUtf8("Hilfe und Einf\u00fchrung")},
        {"prog", "m_bug_en", TextProperty::Caption, "Report Bug or Improvement..", "Report Bug or Improvement.."},
        // The message texts name the labels "Ordner" and "Dateiname".
        {"prog", "Label9", TextProperty::Caption, "Ordner", "Folder"},
        {"prog", "Label7", TextProperty::Caption, "Dateiname", "File Name"},
        {"start", "title", TextProperty::WindowTitle, "Quillpress - Velmora", "Quillpress - Velmora"},
        {"optionen_name", "cb_max", TextProperty::Caption,
         QString::fromUtf8("Maximale L\u00e4nge des Dateinamens ohne Nummerierung:"),
         "Maximum length of the file namen without numeration:"},
        {"sm_achtung", "Label4", TextProperty::Caption,
         QString::fromUtf8("Soll diese Datei mit der neuen Datei \u00fcberschrieben werden?"),
         "Shall this File be overwritten with the new File? "},
        {"sm_bearbeitung", "title", TextProperty::WindowTitle, "Brindlewick - Velmora", "Brindlewick - Velmora"},
        {"sm_bearbeitung", "Abbrechen", TextProperty::Caption, "Abbrechen", "Break"},
        {"sm_meldung", "OKalle", TextProperty::Caption, QString::fromUtf8("OK f\u00fcr alle"), "OK for all"},
        {"einstshortcuts", "Label7", TextProperty::Caption,
         QString::fromUtf8("Anzeige dieses Programms im \"Senden an\" - Explorer Kontextmen\u00fc"),
         "Show this Application in the Explorer Context Menu \"Send to\""},
        {"einstshortcuts", "BeliebigeDateienAus", TextProperty::Caption, "Entfernen", "Remove"},
        {"einstshortcuts", "kontext_ordner", TextProperty::ShellName,
         QString::fromUtf8("\u00d6ffnen mit VLM Quillpress"), "Open with Quillpress"},
        {"einstshortcuts", "dateityp", TextProperty::ShellName, "VLM Quillpress Konfiguration",
         "VLM Quillpress Configuration"},
    };
    for (const Case& c : cases) {
        const CatalogRow* row = catalogRow(c.window, c.control);
        ASSERT_NE(row, nullptr) << c.window << "/" << c.control;
        EXPECT_EQ(row->property, c.property) << c.control;
        EXPECT_EQ(catalogText(c.window, c.control, "de"), c.german) << c.control;
        EXPECT_EQ(catalogText(c.window, c.control, "en"), c.english) << c.control;
    }
    // The three characters backslash, n, l.
    EXPECT_TRUE(catalogText("prog", "txt_line", "de").contains(QStringLiteral("\\nl")));
}

TEST_F(CatalogTest, LookupFollowsTheCurrentLanguageAndUnknownRowsAreEmpty)
{
    Language::setCode("de");
    EXPECT_EQ(catalogText("prog", "weiter"), "Weiter >>");
    Language::setCode("en");
    EXPECT_EQ(catalogText("prog", "weiter"), "Next >>");
    // Any code other than "de" reads English; names are compared exactly.
    EXPECT_EQ(catalogText("prog", "weiter", "DE"), "Next >>");
    EXPECT_TRUE(catalogText("prog", "Weiter", "de").isNull());
    EXPECT_TRUE(catalogText("nowhere", "weiter", "de").isNull());
    EXPECT_EQ(catalogRow("prog", "rb_drehung_90"), nullptr);
}

// A menu caption marks its access letter with "&"; as prose it reads without the mark.
TEST_F(CatalogTest, CaptionsReadAsProseWithoutTheirAccessMarks)
{
    const std::pair<const char*, const char*> cases[] = {
        {"&Close", "Close"},
        {"Start&konfiguration (auto.qpcf)", "Startkonfiguration (auto.qpcf)"},
        {"Save && &Quit", "Save & Quit"},
        {"trailing&", "trailing&"},
        {"", ""},
    };
    for (const auto& [caption, prose] : cases)
        EXPECT_EQ(withoutAccessMark(QString::fromUtf8(caption)), QString::fromUtf8(prose)) << caption;
    // The rows keep the mark for the windows; the lookup gives the prose.
    EXPECT_EQ(catalogRow("prog", "m_konfig_load")->english, "&Load Configuration");
    EXPECT_EQ(catalogText("prog", "m_konfig_load", "en"), "Load Configuration");
    EXPECT_EQ(catalogText("prog", "m_konfig_load", "de"), "Konfiguration laden");
}

TEST_F(CatalogTest, SwitchingGermanEnglishGermanRestoresEveryTextAndTheFormatBox)
{
    struct Snapshot {
        QStringList texts;
        QStringList formats;
        QString formatText;
        QList<bool> states;
    };
    QString formatText = "*.jpg - JPEG-Bild";
    // What a language switch re-applies: every row, the format box and the menu states.
    const auto apply = [&formatText](const QString& code) {
        Language::setCode(code);
        Snapshot s;
        for (const CatalogRow& row : catalogRows())
            s.texts << catalogText(row.window, row.control, row.property);
        s.formats = outputFormatsForLanguage(Language::code());
        formatText = formatNameForLanguage(formatText, Language::code());
        s.formatText = formatText;
        for (const LanguageRule& rule : languageRules())
            s.states << (rule.kind == LanguageRuleKind::Visible
                             ? catalogVisible(rule.window, rule.control, Language::code())
                             : catalogChecked(rule.window, rule.control, Language::code()));
        return s;
    };

    const Snapshot first = apply("de");
    const Snapshot english = apply("en");
    const Snapshot second = apply("de");

    // Captions as prose, without the marks of their access letters.
    const auto prose = [](const CatalogRow& row, const QString& text) {
        return row.property == TextProperty::Caption ? withoutAccessMark(text) : text;
    };
    QStringList germanColumn, englishColumn;
    for (const CatalogRow& row : catalogRows()) {
        germanColumn << prose(row, row.german);
        englishColumn << prose(row, row.english);
    }
    EXPECT_EQ(first.texts, germanColumn);
    EXPECT_EQ(english.texts, englishColumn);
    EXPECT_EQ(second.texts, germanColumn);
    EXPECT_EQ(first.formats, SettingsModel::outputFormats());
    EXPECT_EQ(second.formats, first.formats);
    EXPECT_EQ(english.formatText, "*.jpg - JPEG-Image");
    EXPECT_EQ(second.formatText, "*.jpg - JPEG-Bild");
    EXPECT_EQ(second.states, first.states);
    EXPECT_NE(english.states, first.states);
}

TEST_F(CatalogTest, MenuVisibilityCheckMarksAndSplashFollowTheLanguage)
{
    struct Case {
        const char* window;
        const char* control;
        bool visibleDe, visibleEn, checkedDe, checkedEn;
    };
    const Case cases[] = {
        {"prog", "m_soft_de", true, false, false, false},
        {"prog", "m_info_de", true, false, false, false},
        {"prog", "m_soft_en", false, true, false, false},
        {"prog", "m_info_en", false, true, false, false},
        {"prog", "m_einst_sprache_deutsch", true, true, true, false},
        {"prog", "m_einst_sprache_english", true, true, false, true},
        {"prog", "m_datei", true, true, false, false},
        {"start", "en1", false, true, false, false},
        {"start", "Image1", true, true, false, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(catalogVisible(c.window, c.control, "de"), c.visibleDe) << c.control;
        EXPECT_EQ(catalogVisible(c.window, c.control, "en"), c.visibleEn) << c.control;
        EXPECT_EQ(catalogChecked(c.window, c.control, "de"), c.checkedDe) << c.control;
        EXPECT_EQ(catalogChecked(c.window, c.control, "en"), c.checkedEn) << c.control;
    }
}

TEST_F(CatalogTest, DialogFilterBecomesQtNameFilters)
{
    EXPECT_EQ(toQtNameFilters(catalogText("prog", "konfig_filter", "de")),
              QStringList{"Quillpress Konfiguration (*.qpcf)"});
    EXPECT_EQ(toQtNameFilters(catalogText("prog", "konfig_filter", "en")),
              QStringList{"Quillpress Configuration (*.qpcf)"});
    EXPECT_EQ(toQtNameFilters("Bilder|*.png;*.jpg|Alle|*.*"),
              (QStringList{"Bilder (*.png *.jpg)", "Alle (*.*)"}));
    EXPECT_TRUE(toQtNameFilters("").isEmpty());
}

TEST_F(CatalogTest, ShellStatusTextsAndColours)
{
    const QColor green(0, 128, 0), red(255, 0, 0);
    EXPECT_EQ(shortcutStatusDisplay(true, "de").text, "Aktiv");
    EXPECT_EQ(shortcutStatusDisplay(true, "en").text, "Activated");
    EXPECT_EQ(shortcutStatusDisplay(false, "de").text, "Nicht aktiv");
    EXPECT_EQ(shortcutStatusDisplay(false, "en").text, "Not activated");
    EXPECT_EQ(shortcutStatusDisplay(true, "en").color, green);
    EXPECT_EQ(shortcutStatusDisplay(false, "de").color, red);

    EXPECT_EQ(adminStatusDisplay(true, "en").text, "The Program is running as an Administrator.");
    EXPECT_EQ(adminStatusDisplay(false, "de").text,
              QString::fromUtf8("Das Programm wird gerade nicht als Administrator ausgef\u00fchrt."));
    EXPECT_EQ(adminStatusDisplay(true, "de").color, green);
    // Where registration is per user, the line says for whom, never in red.
    EXPECT_EQ(registrationScopeDisplay(false, "en").text,
              "The Program is running as this user: registrations apply to this user.");
    EXPECT_EQ(registrationScopeDisplay(true, "de").text,
              QString::fromUtf8("Das Programm l\u00e4uft als Administrator: Verkn\u00fcpfungen gelten f\u00fcr alle Benutzer."));
    EXPECT_EQ(registrationScopeDisplay(true, "en").color, green);
    EXPECT_NE(registrationScopeDisplay(false, "de").color, red);
    EXPECT_EQ(adminStatusDisplay(false, "en").color, red);
}
