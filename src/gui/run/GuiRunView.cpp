#include "run/GuiRunView.h"

#include "run/Tsm_bearbeitung.h"
#include "run/Tsm_meldung.h"

namespace qp {

GuiRunView::GuiRunView(QWidget* mainWindow, Tsm_bearbeitung& progress, Tsm_meldung& messages)
    : m_mainWindow(mainWindow), m_progress(progress), m_messages(messages)
{
}

void GuiRunView::attach(GenerationRun* run)
{
    m_run = run;
}

void GuiRunView::showMessage(const QString& id, const QString& parameter)
{
    m_messages.meldungzeigen(id, parameter, m_mainWindow);
}

void GuiRunView::runStarted(int count)
{
    m_progress.startRun(count, m_mainWindow);
}

void GuiRunView::imageStarted(int, const QString& path)
{
    m_progress.showCurrent(path);
}

void GuiRunView::imageFinished(int index, const QString&)
{
    m_progress.setPosition(index + 1);
}

void GuiRunView::runFinished(bool)
{
    m_progress.finishRun();
}

void GuiRunView::processEvents() {}

} // namespace qp
