// SPDX-License-Identifier: MIT
#include "gui/run/GuiRunView.h"

#include "core/run/Messages.h"
#include "gui/run/Tsm_bearbeitung.h"
#include "gui/run/Tsm_meldung.h"

#include <QCoreApplication>

namespace qp {

GuiRunView::GuiRunView(QWidget* mainWindow, Tsm_bearbeitung& progress, Tsm_meldung& messages)
    : m_mainWindow(mainWindow), m_progress(progress), m_messages(messages)
{
}

GuiRunView::~GuiRunView()
{
    QObject::disconnect(m_cancelConnection);
}

void GuiRunView::attach(GenerationRun* run)
{
    QObject::disconnect(m_cancelConnection);
    m_run = run;
    if (!run)
        return;
    m_cancelConnection = QObject::connect(&m_progress, &Tsm_bearbeitung::cancelRequested, &m_progress, [this] {
        if (m_running && m_run)
            m_run->requestCancel();
    });
}

void GuiRunView::showMessage(const QString& id, const QString& parameter)
{
    m_messages.meldungzeigen(id, parameter, m_mainWindow);
}

void GuiRunView::showSaveError(const QString& path, const QString& cause)
{
    m_messages.meldungzeigen(MessageId::speicherfehler, path, m_mainWindow, cause);
}

void GuiRunView::disableMainWindow()
{
    if (!m_mainWindow)
        return;
    // Disabling a widget disables its child windows as well. The main window's own windows (the
    // option windows, the progress and message windows) must keep taking input during the run, so
    // the ones that were enabled are enabled again; a window can be enabled under a disabled parent.
    std::vector<QPointer<QWidget>> ownWindows;
    const auto children = m_mainWindow->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    for (QWidget* child : children)
        if (child->isWindow() && child->isEnabled())
            ownWindows.emplace_back(child);
    m_mainWindow->setEnabled(false);
    for (const auto& window : ownWindows)
        if (window)
            window->setEnabled(true);
    for (QWidget* window : {static_cast<QWidget*>(&m_progress), static_cast<QWidget*>(&m_messages)})
        if (!window->isEnabled())
            window->setEnabled(true);
}

void GuiRunView::runStarted(int count)
{
    m_running = true;
    disableMainWindow();
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

void GuiRunView::runFinished(bool cancelled)
{
    m_running = false;
    m_progress.finishRun();
    if (m_mainWindow) {
        m_mainWindow->setEnabled(true);
        m_mainWindow->activateWindow();
    }
    if (!cancelled)
        m_messages.clearAcknowledgedAll();
}

void GuiRunView::processEvents()
{
    QCoreApplication::processEvents();
}

} // namespace qp
