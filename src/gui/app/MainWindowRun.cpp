// SPDX-License-Identifier: MIT
#include "gui/app/MainWindowRun.h"

#include "core/run/GenerationRun.h"
#include "gui/app/BottomBar.h"
#include "gui/output/SavePage.h"
#include "gui/run/GuiRunView.h"

namespace qp {

MainWindowRun::MainWindowRun(SettingsModel& settings, BottomBar& bottomBar, SavePage& savePage)
    : m_settings(settings), m_bottomBar(bottomBar), m_savePage(savePage)
{
}

MainWindowRun::~MainWindowRun() = default;

void MainWindowRun::setView(QWidget* mainWindow, Tsm_bearbeitung& progress, Tsm_meldung& messages)
{
    m_view = std::make_unique<GuiRunView>(mainWindow, progress, messages);
}

void MainWindowRun::run(const QString& text)
{
    if (m_running || !m_view)
        return;
    struct Running {
        MainWindowRun& owner;
        GenerationRun run;
        Running(MainWindowRun& o) : owner(o), run(o.m_settings, *o.m_view)
        {
            owner.m_running = true;
            owner.m_view->attach(&run);
        }
        ~Running()
        {
            owner.m_view->attach(nullptr);
            owner.m_running = false;
        }
    } running(*this);
    const RunResult result = running.run.run(text);
    if (result.started)
        m_bottomBar.showRunSummary(result);
    // The folder holds the new files: the next run's names move on.
    m_savePage.scheduleNamesPreview();
}

} // namespace qp
