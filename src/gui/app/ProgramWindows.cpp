// SPDX-License-Identifier: MIT
#include "gui/app/ProgramWindows.h"

#include "core/app/ProgramFolder.h"
#include "core/render/Renderer.h"
#include "core/settings/SettingsModel.h"
#include "gui/app/StaticPages.h"
#include "gui/app/Tprog.h"
#include "gui/app/Tstart.h"
#include "gui/output/Toptionen.h"
#include "gui/run/Toptionen_name.h"
#include "gui/run/Tsm_bearbeitung.h"
#include "gui/run/Tsm_meldung.h"
#include "gui/shell/Teinstshortcuts.h"

#include <QCoreApplication>

namespace qp {

ProgramWindows::ProgramWindows(const QStringList& arguments, const QString& workingDir)
    : m_settings([] {
          const ProgramFolders folders = programFolders();
          return std::make_unique<SettingsModel>(folders.configFolder, folders.outputFolder);
      }())
{
    // The format options window comes after the main window; until it exists the renderer uses
    // the text engine's default glyph quality.
    m_settings->setOptionsWindowExists(false);
    // Long wraps in the renderer keep the windows responsive.
    setRenderYield([] { QCoreApplication::processEvents(); });

    m_start = std::make_unique<Tstart>(workingDir);
    connect(m_start.get(), &Tstart::programEnd, this, &ProgramWindows::programEnd);
    m_prog = std::make_unique<Tprog>(*m_settings, *m_start, arguments);
    m_start->setMainWindow(m_prog.get());

    Tprog* owner = m_prog.get();
    m_hilfe = createHilfe(owner);
    m_hilfeEn = createHilfeEn(owner);
    m_progress = new Tsm_bearbeitung(owner);
    m_messages = new Tsm_meldung(owner);
    m_bugDe = createBugreportDe(owner);
    m_bugEn = createBugreportEn(owner);
    m_shell = new Teinstshortcuts(*m_settings, owner);
    // After the restart as administrator the program ends as through the menu's exit.
    m_shell->setEndProgram([start = m_start.get()] { start->close(); });
    m_options = new Toptionen(*m_settings, owner);
    m_settings->setOptionsWindowExists(true);
    m_nameOptions = new Toptionen_name(*m_settings, owner);

    Tprog::Windows windows;
    windows.sm_bearbeitung = m_progress;
    windows.sm_meldung = m_messages;
    windows.einstshortcuts = m_shell;
    windows.optionen = m_options;
    windows.optionen_name = m_nameOptions;
    windows.hilfe = m_hilfe;
    windows.hilfe_en = m_hilfeEn;
    windows.bugreport_de = m_bugDe;
    windows.bugreport_en = m_bugEn;
    m_prog->setWindows(windows);
}

ProgramWindows::~ProgramWindows()
{
    setRenderYield({});
}

void ProgramWindows::endEventLoopOnProgramEnd()
{
    connect(this, &ProgramWindows::programEnd, this, [] { QCoreApplication::exit(0); }, Qt::QueuedConnection);
}

} // namespace qp
