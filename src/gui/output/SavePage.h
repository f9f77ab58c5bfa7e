// SPDX-License-Identifier: MIT
#pragma once
// The main window's page "Save": the output folder with its folder dialog, the choice between
// names made from the text and one given name, the button to the file-name options, and the
// output format.
#include "gui/settings/SettingsPage.h"

#include <functional>

class QLabel;
class QTimer;

namespace qp {

struct MainWindowDialogs;
class SettingBinder;
class SettingsModel;

class SavePage : public SettingsPage {
    Q_OBJECT
public:
    // The folder button opens `dialogs.chooseFolder` as it is at the click.
    SavePage(SettingsModel& settings, SettingBinder& binder, const MainWindowDialogs& dialogs);

    // The format list and the chosen format's name in the current language; the extension stays.
    void applyLanguage();

    // Where the page reads the text of the next run (the text box).
    void setRunText(std::function<QString()> text) { m_runText = std::move(text); }
    // The names the next run would write are shown again shortly: after a change of the text, of
    // the settings, or of what the output folder holds (a run).
    void scheduleNamesPreview();
    // Shows them now.
    void updateNamesPreview();
    // How many names the preview shows at most.
    static constexpr int kPreviewNames = 4;

signals:
    // The button "Options for File Names.." was clicked.
    void nameOptionsWanted();

private:
    void bindSettings(SettingBinder& b);
    void outordnerbtClick();

    SettingsModel& m_settings;
    SettingBinder& m_binder;
    const MainWindowDialogs& m_dialogs;
    std::function<QString()> m_runText;
    QLabel* m_names = nullptr;
    QTimer* m_namesTimer = nullptr;
};

} // namespace qp
