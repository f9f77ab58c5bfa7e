// SPDX-License-Identifier: MIT
#pragma once
// What the main window's Configuration menu does: save and load through the dialogs, load the
// start configuration, reset every setting and offer the undo of it for a while, choose the
// auto-save, and list the configuration files used as entries of the menu. The preview is held
// during every load and drawn once at its end.
#include "core/settings/ConfigurationMenu.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>

class QTimer;

namespace qp {

class BottomBar;
class MainMenus;
class MainWindowPreview;
class SettingsModel;
struct MainWindowDialogs;

class ConfigurationCommands : public QObject {
    Q_OBJECT
public:
    // The dialogs are read at each command, so a replacement applies at once.
    ConfigurationCommands(const SettingsModel& settings, ConfigurationMenu& configurations, MainMenus& menus,
                          BottomBar& bottomBar, const MainWindowDialogs& dialogs, MainWindowPreview& preview);

    // The save dialog, proposing the last name; the chosen file is saved with its entry.
    void KonfigurationSpeichernDialog();
    // The open dialog, proposing the last name; the chosen file is loaded with its entry.
    void KonfigurationLadenDialog();
    // Loads the start configuration; a message when there is none.
    void m_konfig_startClick();
    // F2, then the offer to undo it for 15 s (the Configuration menu's entry, Ctrl+Z and a link
    // in the bottom bar).
    void resetAllSettings();
    void undoResetAllSettings();
    // A click on one of the two auto-save entries: that one checked, the other cleared.
    void chooseAutoSave(ConfigurationMenu::AutoSave choice);
    // The check marks of the auto-save entries as the settings hold them.
    void updateAutoSaveChecks();
    // The proposed file name and the filters of the dialogs in the language `code`.
    void applyLanguage(const QString& code);

    // Runs while the undo of the last reset is offered.
    QTimer* undoResetTimer() const { return m_undoResetTimer; }

private:
    void hold(const std::function<void()>& load);

    const SettingsModel& m_settings;
    ConfigurationMenu& m_configurations;
    MainMenus& m_menus;
    BottomBar& m_bottomBar;
    const MainWindowDialogs& m_dialogs;
    MainWindowPreview& m_preview;
    QTimer* m_undoResetTimer = nullptr;
    QString m_configFileName;
    QStringList m_configFilters;
};

} // namespace qp
