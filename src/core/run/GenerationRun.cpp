// SPDX-License-Identifier: MIT
#include "run/GenerationRun.h"

#include "app/TextLines.h"
#include "codec/ImageData.h"
#include "output/BitmapExchange.h"
#include "output/EncoderOptions.h"
#include "output/MemoryEstimate.h"
#include "output/SafeFileWriter.h"
#include "output/StoreImage.h"
#include "render/Renderer.h"
#include "run/FileNaming.h"
#include "run/FolderCheck.h"
#include "run/Messages.h"
#include "settings/SettingsModel.h"

namespace qp {

void RunView::showSaveError(const QString& path, const QString&)
{
    showMessage(MessageId::speicherfehler, path);
}

QStringList GenerationRun::buildItems(const QString& text, bool perLine)
{
    // Text widgets hand over LF line breaks; a configuration or a pasted text may carry CR LF.
    if (!perLine) {
        QString normalized = text;
        normalized.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        normalized.replace(QLatin1Char('\r'), QLatin1Char('\n'));
        normalized.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
        return {normalized};
    }
    // A line break at the very end adds no line; an empty text has no lines at all.
    QStringList lines = textLines(text);
    for (QString& line : lines) {
        if (line.size() > LineTooLongError::maxLength)
            throw LineTooLongError();
        line.replace(QStringLiteral("\\nl"), QStringLiteral("\r\n"));
    }
    return lines;
}

RunResult GenerationRun::run(const QString& text)
{
    RunResult result;
    AusgabeWerteSetzen(m_settings);

    const QString folder = m_settings.text(Setting::out_ordner);
    if (!IsValidFolderPath(folder)) {
        if (folder.isEmpty())
            m_view.showMessage(MessageId::keinordner, QString());
        else
            m_view.showMessage(MessageId::ordnerfalsch, folder);
        return result;
    }
    if (m_settings.checked(Setting::n_eigenen) && m_settings.text(Setting::ed_name).isEmpty()) {
        m_view.showMessage(MessageId::keinname, QString());
        return result;
    }

    const QStringList items = buildItems(text, m_settings.checked(Setting::txt_line));
    removeLeftoverTemporaries(folder);
    m_numbering.clear();
    result.started = true;
    result.items = static_cast<int>(items.size());
    m_view.runStarted(result.items);
    m_view.processEvents();

    for (int i = 0; i < items.size(); ++i) {
        QString written;
        QString attempted;
        QString cause;
        bool ok = false;
        try {
            ok = writeOne(i, items[i], written, attempted);
            if (!ok)
                cause = storeRefusalCause(attempted);
        } catch (const std::exception& e) {
            ok = false;
            cause = QString::fromUtf8(e.what());
        }
        // Of the written images only the last path is kept: memory stays flat however many images
        // a run makes.
        if (ok) {
            ++result.written;
            result.lastWritten = written;
        } else {
            ++result.failed;
            written.clear();
            m_view.showSaveError(attempted, cause);
        }
        m_view.imageFinished(i, written);
        if (m_cancel) {
            m_cancel = false;
            result.cancelled = true;
            m_view.runFinished(true);
            return result;
        }
    }
    m_cancel = false;
    m_view.runFinished(false);
    return result;
}

bool GenerationRun::writeOne(int index, const QString& item, QString& writtenPath, QString& attemptedPath)
{
    attemptedPath = CreateFileName(item, m_settings, &m_numbering);
    m_view.imageStarted(index, attemptedPath);
    m_view.processEvents();

    // One bitmap and one record at a time; both are released before the next image.
    imaging::TDynImageDataArray images(1);
    {
        // An image the machine cannot hold is refused before it is drawn.
        const QImage bitmap = CreateBitmap(item, m_settings, [&](qint64 width, qint64 height) {
            checkImageMemory(width, height, attemptedPath);
        });
        BitmapToR8G8B8ImageData(bitmap, images[0]);
    }
    // A name taken between naming and writing: the numbering is asked again, and a failure is
    // reported with the name that was tried last.
    const QString first = attemptedPath;
    const bool stored = StoreImageFile(first, images,
                                       [&] {
                                           attemptedPath = CreateFileName(item, m_settings, &m_numbering);
                                           return attemptedPath;
                                       },
                                       &writtenPath);
    return stored;
}

} // namespace qp
