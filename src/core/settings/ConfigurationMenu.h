// SPDX-License-Identifier: MIT
#pragma once
// The logic of the Configuration menu: the start configuration, the configuration entries that
// grow while the program runs, the dialogs' save and load steps, the standard configuration, the
// auto-save choice, and which command-line arguments are configuration files. The window shows
// the entries and forwards clicks; everything it decides lives here.
#include "core/run/PathShortening.h"
#include "core/settings/Configuration.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

namespace qp {

class SettingsModel;

// The start configuration of a program folder: the folder followed by "Auto.qpcf".
QString startConfigurationPath(const QString& programFolder);

// The configuration files ("*.qpcf") directly inside `folder`, as full paths sorted by name.
QStringList configurationFilesIn(const QString& folder);

// The extension of a command-line argument: the text from the last "." that stands after the last
// "/", "\" or ":", dot included; empty when there is none.
QString argumentExtension(const QString& argument);
// An argument is a configuration file when its extension is exactly ".qpcf" (case included).
bool isConfigurationArgument(const QString& argument);
// The name a configuration is saved under: `name`, followed by ".qpcf" when its file name has no
// extension, so that the file can be opened, handed over and listed like every configuration.
QString withConfigurationExtension(const QString& name);
// The configuration files among `arguments` (the program path not included), in order.
QStringList configurationArguments(const QStringList& arguments);

// One configuration entry of the menu.
struct ConfigurationEntry {
    QString path;    // the stored path; clicking the entry loads it
    QString caption; // the path shortened to the menu's width
};

class ConfigurationMenu : public QObject {
    Q_OBJECT
public:
    enum class AutoSave { Never, All };

    ConfigurationMenu(SettingsModel& settings, const QString& programFolder,
                      QObject* parent = nullptr);

    // What the windows do around loading and saving (placement, language, preview).
    void setHooks(const ConfigurationHooks& hooks) { m_hooks = hooks; }
    const ConfigurationHooks& hooks() const { return m_hooks; }
    // How captions are measured: textWidth in the font of the main window's link label,
    // labelWidth that label's current width W; a caption is shortened to 2 * W + 30 pixels.
    // Without them captions are the full paths.
    void setCaptionMetrics(TextWidthFunction textWidth, std::function<int()> labelWidth);

    // The stored path of the "load start configuration" entry (empty before start-up step A).
    QString startEntryPath() const { return m_startEntryPath; }
    // The configuration entries in menu order.
    const QList<ConfigurationEntry>& entries() const { return m_entries; }

    // Start-up step A, when the main window is created: stores the start configuration path, then
    // adds an entry for every configuration file of the program folder (the start configuration
    // itself gets none).
    void startUpStepA();
    // Start-up step B, when the main window is shown first: loads every configuration argument (the
    // program path not included) with the start window as caller and adds its entry; when there
    // was none, loads the start configuration if it exists, without an entry. Returns the number of
    // configuration arguments.
    int startUpStepB(const QStringList& arguments);
    // A command line handed over by a second start: every entry but the first (the program path)
    // as one argument of step B. The start configuration is not involved.
    void handOff(const QStringList& params);
    // One argument of step B: loaded and given an entry when it is a configuration file (a
    // relative path is taken from the working folder). True when it was one.
    bool loadArgument(const QString& argument);

    // Adds an entry for `path` unless the start entry or an entry already holds exactly this path
    // (case included). True when one was added.
    bool addEntry(const QString& path);
    // A click on an entry: loads its file with the menu as caller when it exists; otherwise
    // nothing happens. True when it was loaded.
    bool loadEntry(const QString& path);

    // The save dialog confirmed `name`: saves (with ".qpcf" added when the name has no
    // extension), then adds the entry, and returns the path written. A failed save raises
    // IniFileError and adds nothing. An empty name does nothing.
    QString saveWithDialog(const QString& name);
    // The load dialog confirmed `path` (it need not exist): loads, then adds the entry.
    void loadWithDialog(const QString& path);
    // Saves the start configuration and stores its path in the start entry. Raises IniFileError.
    void saveStartConfiguration();
    // F3: loads the start configuration. False when it does not exist: the window then shows the
    // message "keinestartkonfig".
    bool loadStartConfiguration();
    // F2. Keeps the settings as they were, so that the reset can be undone.
    void loadStandardConfiguration();
    // Puts back the settings and the auto-save choice of before the last reset, once. False when
    // there is nothing to undo.
    bool undoStandardConfiguration();
    bool canUndoStandardConfiguration() const { return m_beforeReset.has_value(); }
    // The undo of the last reset is no longer offered.
    void forgetStandardConfigurationUndo() { m_beforeReset.reset(); }

    // A click on one of the two auto-save entries: that one checked, the other cleared.
    void chooseAutoSave(AutoSave choice);
    // The main window is asked to close: saves the start configuration when "save all" is
    // checked. A failed save raises IniFileError; the window then shows it and stays open.
    void autoSaveOnClose();

signals:
    // An entry was appended at the end of the menu.
    void entryAdded(const qp::ConfigurationEntry& entry);

private:
    QString caption(const QString& path) const;

    SettingsModel& m_settings;
    QString m_programFolder;
    QString m_startEntryPath;
    QList<ConfigurationEntry> m_entries;
    ConfigurationHooks m_hooks;
    std::optional<SettingsSnapshot> m_beforeReset;
    TextWidthFunction m_textWidth;
    std::function<int()> m_labelWidth;
};

} // namespace qp
