// SPDX-License-Identifier: MIT
#include "cli/TerminalView.h"

#include "core/i18n/SharedTexts.h"
#include "core/run/Messages.h"

#include <QDir>
#include <QFileInfo>

namespace qp::cli {

namespace {
constexpr int kBarWidth = 30;
}

void TerminalView::showMessage(const QString& id, const QString& parameter)
{
    clearBar();
    ++m_messages;
    const auto text = messageText(id);
    if (!text) {
        m_err << id << Qt::endl;
        return;
    }
    m_err << text->title << '\n' << "  " << messageFirstLine(*text, printableText(parameter)) << '\n';
    const QString second = messageSecondLine(*text, printableText(QDir::toNativeSeparators(parameter)));
    if (!second.isEmpty())
        m_err << "  " << second << '\n';
    m_err << "  " << text->line3 << Qt::endl;
}

void TerminalView::showSaveError(const QString& path, const QString& cause)
{
    showMessage(MessageId::speicherfehler, path);
    if (!cause.isEmpty())
        m_err << "  " << printableText(cause) << Qt::endl;
}

void TerminalView::runStarted(int count)
{
    m_count = count;
    if (m_progressBar && count > 0)
        drawBar(0);
}

void TerminalView::imageStarted(int, const QString& path)
{
    m_current = printableText(QFileInfo(path).fileName());
}

void TerminalView::printPath(const QString& path)
{
    // One path per line, whatever the output folder holds.
    m_out << printableText(QDir::toNativeSeparators(path)) << Qt::endl;
}

void TerminalView::imageFinished(int index, const QString& writtenPath)
{
    if (!writtenPath.isEmpty()) {
        clearBar();
        printPath(writtenPath);
    }
    if (m_progressBar)
        drawBar(index + 1);
}

void TerminalView::runFinished(bool)
{
    clearBar();
}

void TerminalView::drawBar(int done)
{
    if (m_count <= 0)
        return;
    const int filled = static_cast<int>(static_cast<qint64>(done) * kBarWidth / m_count);
    QString line = QStringLiteral("\r%1 [%2%3] %4/%5 %6")
                       .arg(SharedTexts::bearbeitung(), QString(filled, QLatin1Char('#')),
                            QString(kBarWidth - filled, QLatin1Char('.')))
                       .arg(done)
                       .arg(m_count)
                       .arg(m_current.left(40));
    m_err << line << "\x1b[K" << Qt::flush;
    m_barShown = true;
}

void TerminalView::clearBar()
{
    if (m_barShown) {
        m_err << "\r\x1b[K" << Qt::flush;
        m_barShown = false;
    }
}

} // namespace qp::cli
