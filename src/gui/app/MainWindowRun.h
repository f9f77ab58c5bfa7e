// SPDX-License-Identifier: MIT
#pragma once
// "Create and Save" in the main window: the generation run over the text, shown in the progress
// and message windows; afterwards the run's summary in the bottom bar and the next run's names on
// the Save page.
#include <QString>

#include <memory>

class QWidget;

namespace qp {

class BottomBar;
class GuiRunView;
class SavePage;
class SettingsModel;
class Tsm_bearbeitung;
class Tsm_meldung;

class MainWindowRun {
public:
    MainWindowRun(SettingsModel& settings, BottomBar& bottomBar, SavePage& savePage);
    ~MainWindowRun();

    // The windows that show a run; no run starts before they are known.
    void setView(QWidget* mainWindow, Tsm_bearbeitung& progress, Tsm_meldung& messages);
    // Runs over `text`; nothing while a run is going on.
    void run(const QString& text);
    // Whether a run is going on (the window takes no input meanwhile).
    bool running() const { return m_running; }

private:
    SettingsModel& m_settings;
    BottomBar& m_bottomBar;
    SavePage& m_savePage;
    std::unique_ptr<GuiRunView> m_view;
    bool m_running = false;
};

} // namespace qp
