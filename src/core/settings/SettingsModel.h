// SPDX-License-Identifier: MIT
#pragma once
// The settings model: the named settings of the four settings windows, their defaults, key filters,
// radio groups and change rules, all made from the rows of SettingsTable.def. There is no other
// settings store; every reader asks here by key at the moment it needs a value (readers that need
// several values at once copy them into a small value struct at that moment).
#include <QColor>
#include <QHashFunctions>
#include <QObject>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

namespace qp {

// Qp: settings added to the main window's pages later, kept in the configuration section "QP".
enum class SettingWindow { Prog, Optionen, OptionenName, EinstShortcuts, Qp };
enum class SettingKind { Text, ChoiceText, Check, Radio, Position, PanelFlag };
enum class KeyFilter {
    Any,          // every key
    Digits,       // digits and backspace
    DigitsMinus,  // digits, "-" and backspace
    NoReserved,   // everything but the reserved characters
    FolderPath,   // everything but the reserved characters; the platform's path separator passes
    Nothing,      // every typed key is discarded (out_format)
    Quality,      // the quality rule of out_quality
    NotTyped,     // not a typing control (checks, radios, panels, positions)
};

// The key of every setting, one per row of the settings table. Readers name a setting by its key,
// so a misspelt name fails to compile; the text names are for configuration files and the
// command line only.
enum class Setting : int {
#define QP_SETTING(name, ...) name,
#include "core/settings/SettingsTable.def"
#undef QP_SETTING
};

inline size_t qHash(Setting key, size_t seed = 0) noexcept
{
    return ::qHash(static_cast<int>(key), seed);
}

struct SettingDef {
    Setting key;
    const char* name;
    SettingWindow window;
    SettingKind kind;
    const char* defaultText;   // text kinds
    bool defaultChecked;       // check, radio, panel flag
    int defaultPosition;       // position
    KeyFilter keys;
    const char* group;         // radio group, or nullptr
};

// Arrow buttons attached to a text setting.
struct ArrowRange {
    int minimum;
    int maximum;
    int start;
};

class SettingsModel : public QObject {
    Q_OBJECT
public:
    // programFolder: the folder of the configuration files; the default output folder is its
    // "output" folder unless defaultOutputFolder names another one.
    explicit SettingsModel(const QString& programFolder = QString(), QObject* parent = nullptr);
    SettingsModel(const QString& programFolder, const QString& defaultOutputFolder, QObject* parent = nullptr);

    // Every setting of the four windows, window by window, in their fixed order (the order of the
    // keys).
    static const std::vector<SettingDef>& definitions();
    static std::vector<const SettingDef*> definitionsOf(SettingWindow window);
    static const SettingDef& definition(Setting key);
    // The text name of a key and the key of a text name (configuration files, --set).
    static QString nameOf(Setting key);
    static std::optional<Setting> keyOf(const QString& name);
    static const SettingDef* find(const QString& name);
    // The entries of the output-format list (German form), made from the format rows.
    static const QStringList& outputFormats();
    // The proposals of FSize and out_quality.
    static const QStringList& fontSizeProposals();
    static const QStringList& qualityProposals();
    // The arrows of FSize, abs_z and the four margins; nullptr for other settings.
    static const ArrowRange* arrowRange(Setting key);

    // Reading. text() of a check, radio or panel flag is "1" or "0", of a position its decimal.
    QString text(Setting key) const;
    bool checked(Setting key) const;
    int position(Setting key) const;

    // Writing from outside has the same effects as a user change. Unknown names and values that do
    // not fit the kind are refused (false).
    bool setText(Setting key, const QString& value);
    bool setChecked(Setting key, bool value);
    bool setPosition(Setting key, int value);
    // Sets any kind from text: checks, radios and panel flags take "1" or "0" (and "true"/"false"),
    // positions an integer. The name form refuses unknown names (the command line's --set).
    bool setFromString(Setting key, const QString& value);
    bool setFromString(const QString& name, const QString& value);
    // Puts every setting back to its default, with the change rules.
    void resetToDefaults();
    // Runs the change rules of a setting as a user change does. Loading a configuration assigns
    // every value even when it is unchanged, and the unchanged ones take effect through this.
    void runChangeRules(Setting key);

    // The auto-save choice of the Configuration menu ("never" and "save all"). Not a control
    // value, but it travels with configuration files, which may leave both set or both clear.
    bool autoSaveNever() const { return m_autoSaveNever; }
    bool autoSaveAll() const { return m_autoSaveAll; }
    void setAutoSaveChoice(bool never, bool all);

    // Key filter of a typed character (backspace is QChar(8)); true when the control accepts it.
    // For out_quality this applies the quality rule, including the replacement of a text longer
    // than three characters by "100".
    bool acceptKey(Setting setting, QChar key);
    // One press of an arrow button: steps the value by delta within the arrow's range.
    bool stepArrow(Setting key, int delta);

    // Enabling rules of the size mode (controls and their labels share the state of these settings).
    bool isEnabled(Setting key) const;

    // The colours the colour fields hold: the last valid colour text of each field.
    QColor fontColor() const { return m_fontColor; }
    QColor backgroundColor() const { return m_backgroundColor; }
    // Contrast rule of a colour field: black letters when r + g + b >= 500, else white.
    static QColor contrastTextColor(const QColor& background);
    // "#RRGGBB" in upper case.
    static QString colorText(const QColor& c);

    // Font list: label2 is used as face only while an entry of the font list is selected.
    bool fontListSelected() const { return m_fontListSelected; }
    void setFontListSelected(bool selected);
    // Selects the font-list entry equal to label2 when a font of that name is installed.
    bool selectFontEntryForLabel();

    // Whether the format options window exists: before it does, the renderer uses the text
    // engine's default quality instead of cb_antialias.
    bool optionsWindowExists() const { return m_optionsWindowExists; }
    void setOptionsWindowExists(bool exists) { m_optionsWindowExists = exists; }

    QString programFolder() const { return m_programFolder; }
    // The start-up value of out_ordner.
    QString defaultOutputFolder() const { return m_defaultOutputFolder; }
    // The program folder followed by "output".
    static QString outputFolderIn(const QString& programFolder);

signals:
    // Any setting's value changed.
    void changed(qp::Setting key);
    // A change that affects the image: the preview is to be redrawn.
    void previewRequested();
    // The enabling state of the size-mode controls may have changed.
    void enablingChanged();
    // The auto-save choice changed.
    void autoSaveChoiceChanged();

private:
    struct Value {
        QString text;
        bool checked = false;
        int position = 0;
    };
    void applyChangeRules(Setting key);
    void colourTextChanged(Setting key);
    Value& value(Setting key) { return m_values[size_t(key)]; }
    const Value& value(Setting key) const { return m_values[size_t(key)]; }

    std::vector<Value> m_values;
    QString m_programFolder;
    QString m_defaultOutputFolder;
    QColor m_fontColor{0, 0, 0};
    QColor m_backgroundColor{255, 255, 255};
    bool m_fontListSelected = false;
    bool m_optionsWindowExists = true;
    bool m_autoSaveNever = true;
    bool m_autoSaveAll = false;
};

} // namespace qp
