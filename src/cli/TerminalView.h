// SPDX-License-Identifier: MIT
#pragma once
// Shows a run on the terminal: written paths on standard output, messages and a progress bar on
// standard error.
#include "core/run/GenerationRun.h"

#include <QTextStream>

namespace qp::cli {

class TerminalView : public RunView {
public:
    TerminalView(QTextStream& out, QTextStream& err, bool progressBar)
        : m_out(out), m_err(err), m_progressBar(progressBar) {}

    void showMessage(const QString& id, const QString& parameter) override;
    // The save error, then the cause on the next line.
    void showSaveError(const QString& path, const QString& cause) override;
    void runStarted(int count) override;
    void imageStarted(int index, const QString& path) override;
    void imageFinished(int index, const QString& writtenPath) override;
    void runFinished(bool cancelled) override;
    // A path on standard output, one per line, as a written image is printed.
    void printPath(const QString& path);

    int messages() const { return m_messages; }

private:
    void drawBar(int done);
    void clearBar();

    QTextStream& m_out;
    QTextStream& m_err;
    bool m_progressBar;
    bool m_barShown = false;
    int m_count = 0;
    int m_messages = 0;
    QString m_current;
};

} // namespace qp::cli
