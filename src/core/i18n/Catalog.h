// SPDX-License-Identifier: MIT
#pragma once
// The texts of every window in German and English, as data. Each window's language routine walks
// its rows and writes the text of the current language into the control the row names.
//
// Windows are named as in the program: "prog" (main window with its menu and the four settings
// pages), "start", "optionen", "optionen_name", "einstshortcuts", "sm_meldung", "sm_bearbeitung",
// "sm_achtung". A window's own title is the row with the control name "title".
//
// Not in these rows: the message texts (run/Messages.h), the shared texts of the folder dialog
// and the progress window (i18n/SharedTexts.h) and the output-format list (i18n/FormatNames.h).
#include <QColor>
#include <QString>
#include <QStringList>
#include <vector>

namespace qp {

enum class TextProperty {
    Caption,         // labels, buttons, check boxes, radio buttons, group boxes, tab pages, menu entries
    ToolTip,         // the tip a control shows under the pointer
    WindowTitle,     // the window's title (for "start": the application title)
    DialogFileName,  // default file name of a file dialog
    DialogFilter,    // filter of a file dialog, written "Description|pattern" (see toQtNameFilters)
    StatusText,      // a text that the window writes at run time by state, not a fixed caption
    ShellName,       // a name the shell-settings window hands to the shell (type name, menu caption)
};

struct CatalogRow {
    QString window;
    QString control;
    TextProperty property;
    QString german;
    QString english;

    // "de" gives the German text, any other code the English one.
    QString text(const QString& languageCode) const;
};

// Every row, window by window in the order the windows apply them.
const std::vector<CatalogRow>& catalogRows();
// The windows that have rows, in that order.
QStringList catalogWindows();
// The row of a control, or nullptr when the window has no such row (names compared exactly). A
// control has at most one row of each property; the form without a property gives its first row.
const CatalogRow* catalogRow(const QString& window, const QString& control);
const CatalogRow* catalogRow(const QString& window, const QString& control, TextProperty property);

// A caption as prose: without the "&" that marks its access letter ("&&" stands for "&").
QString withoutAccessMark(const QString& caption);

// The text of a control in the current language, or in the given one, a caption without the mark
// of its access letter (the windows apply the rows' texts with it). Empty for an unknown row.
QString catalogText(const QString& window, const QString& control);
QString catalogText(const QString& window, const QString& control, const QString& languageCode);
// The text of one property of a control (a control with a caption may have a tooltip too).
QString catalogText(const QString& window, const QString& control, TextProperty property);

// Controls whose visibility or check mark follows the language, besides their text.
enum class LanguageRuleKind { Visible, Checked };
struct LanguageRule {
    QString window;
    QString control;
    LanguageRuleKind kind;
    bool whenGerman;   // the state under German; English gives the opposite
};
const std::vector<LanguageRule>& languageRules();

// Per-language menus (m_soft_de, m_info_de, m_soft_en, m_info_en) and the English splash picture
// of the start window (en1) are shown only in their language; every other control is visible.
bool catalogVisible(const QString& window, const QString& control, const QString& languageCode);
// The check marks of the language menu: m_einst_sprache_deutsch under German,
// m_einst_sprache_english under English; any other control is unchecked.
bool catalogChecked(const QString& window, const QString& control, const QString& languageCode);

// The filter of a dialog row turned into the name filters of a Qt file dialog:
// "Quillpress Konfiguration (*.qpcf)|*.qpcf" gives {"Quillpress Konfiguration (*.qpcf)"}. A
// description without its patterns in parentheses gets them appended.
QStringList toQtNameFilters(const QString& filter);

// Status labels of the shell-settings window: the text of the language and its colour.
struct StatusDisplay {
    QString text;
    QColor color;
};
// A registration group's state: "Aktiv" / "Activated" in green, "Nicht aktiv" / "Not activated" in red.
StatusDisplay shortcutStatusDisplay(bool active, const QString& languageCode);
// The administrator line: green when running as administrator, red otherwise. The restart button
// is enabled exactly when the program does not run as administrator.
StatusDisplay adminStatusDisplay(bool isAdmin, const QString& languageCode);
// The same line where registration works per user: for whom it applies, green as administrator
// (all users), black otherwise (this user); never a warning.
StatusDisplay registrationScopeDisplay(bool isAdmin, const QString& languageCode);

} // namespace qp
