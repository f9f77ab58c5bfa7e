#pragma once
// Shows a run in the desktop program: main window disabled, progress window on top, one message
// window per problem, pending events processed between images.
#include "run/GenerationRun.h"

#include <QPointer>
#include <QWidget>

namespace qp {
class Tsm_bearbeitung;
class Tsm_meldung;

class GuiRunView : public RunView {
public:
    GuiRunView(QWidget* mainWindow, Tsm_bearbeitung& progress, Tsm_meldung& messages);
    // Connects the progress window's cancel button to `run` for the run's duration.
    void attach(GenerationRun* run);

    void showMessage(const QString& id, const QString& parameter) override;
    void runStarted(int count) override;
    void imageStarted(int index, const QString& path) override;
    void imageFinished(int index, const QString& writtenPath) override;
    void runFinished(bool cancelled) override;
    void processEvents() override;

private:
    QPointer<QWidget> m_mainWindow;
    Tsm_bearbeitung& m_progress;
    Tsm_meldung& m_messages;
    GenerationRun* m_run = nullptr;
};

} // namespace qp
