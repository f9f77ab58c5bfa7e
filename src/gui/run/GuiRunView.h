// SPDX-License-Identifier: MIT
#pragma once
// Shows a run in the desktop program: main window disabled, progress window on top, one message
// window per problem, pending events processed between images.
#include "core/run/GenerationRun.h"

#include <QMetaObject>
#include <QPointer>
#include <QWidget>
#include <vector>

namespace qp {
class Tsm_bearbeitung;
class Tsm_meldung;

class GuiRunView : public RunView {
public:
    GuiRunView(QWidget* mainWindow, Tsm_bearbeitung& progress, Tsm_meldung& messages);
    ~GuiRunView() override;
    GuiRunView(const GuiRunView&) = delete;
    GuiRunView& operator=(const GuiRunView&) = delete;

    // Connects the progress window's cancel button to `run` (replacing an earlier run); nullptr
    // disconnects it. The run must stay alive while it is attached.
    void attach(GenerationRun* run);

    void showMessage(const QString& id, const QString& parameter) override;
    // The save error with its cause below the message's lines.
    void showSaveError(const QString& path, const QString& cause) override;
    // Disables the main window (its own windows, such as the option windows and the progress
    // window, stay usable) and shows the progress window over it.
    void runStarted(int count) override;
    void imageStarted(int index, const QString& path) override;
    void imageFinished(int index, const QString& writtenPath) override;
    // Hides the progress window, enables the main window and gives it the focus; at a normal end
    // the acknowledged-all flag of the message window is cleared.
    void runFinished(bool cancelled) override;
    void processEvents() override;

private:
    void disableMainWindow();

    QPointer<QWidget> m_mainWindow;
    Tsm_bearbeitung& m_progress;
    Tsm_meldung& m_messages;
    GenerationRun* m_run = nullptr;
    QMetaObject::Connection m_cancelConnection;
    bool m_running = false;
};

} // namespace qp
