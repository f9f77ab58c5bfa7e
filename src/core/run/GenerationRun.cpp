// SPDX-License-Identifier: MIT
#include "core/run/GenerationRun.h"

#include "core/app/TextLines.h"
#include "core/i18n/FormatNames.h"
#include "core/i18n/SystemErrors.h"
#include "core/output/BackgroundEncoder.h"
#include "core/output/BitmapExchange.h"
#include "core/output/EncoderOptions.h"
#include "core/output/MemoryEstimate.h"
#include "core/output/SafeFileWriter.h"
#include "core/output/StoreImage.h"
#include "core/render/Renderer.h"
#include "core/run/FileNaming.h"
#include "core/run/FolderCheck.h"
#include "core/run/Messages.h"
#include "core/settings/SettingsModel.h"

#include <QFileInfo>
#include <QScopeGuard>

#include <optional>

namespace qp {

namespace {
// The largest memory need of an image whose encoding starts while the one before is written:
// about three million pixels, a tenth of a second or so of encoding.
constexpr qint64 kEarlyEncodingNeed = qint64(32) << 20;
} // namespace

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

// An image drawn for its turn or ahead of it, with what it was drawn under.
struct GenerationRun::Drawn {
    QImage bitmap;
    std::exception_ptr error; // drawing failed (or the image was refused before it was drawn)
    QString fileName;         // the name whose extension it is encoded for
    quint64 state = 0;        // the settings' state when drawing began
    qint64 need = 0;          // the memory it needs on its way to the file
    bool submitted = false;   // handed to the encoder (which then holds the pixels)
    bool unfitted = false;    // shrinking to fit: the text does not fit even at 1 point
    std::optional<qint64> fitted; // shrinking to fit: the size it was drawn at
};

quint64 GenerationRun::settingsState() const
{
    return m_settingsChanges * 2 + (m_settings.optionsWindowExists() ? 1 : 0);
}

GenerationRun::Drawn GenerationRun::draw(const QString& item, const QString& fileName,
                                         const std::function<void(qint64)>& makeRoom)
{
    Drawn drawn;
    drawn.fileName = fileName;
    drawn.state = settingsState();
    try {
        // An image the machine cannot hold is refused before it is drawn.
        drawn.bitmap = CreateBitmap(item, m_settings, [&](qint64 width, qint64 height) {
            checkImageMemory(width, height, fileName, m_memoryBudget);
            drawn.need = estimatedImageMemory(width, height, fileName);
            if (makeRoom)
                makeRoom(drawn.need);
        });
        drawn.unfitted = fitFailed(drawn.bitmap);
        drawn.fitted = fittedPoints(drawn.bitmap);
    } catch (...) {
        drawn.error = std::current_exception();
    }
    return drawn;
}

bool GenerationRun::checkStart()
{
    AusgabeWerteSetzen(m_settings);

    const QString folder = m_settings.text(Setting::out_ordner);
    if (!IsValidFolderPath(folder)) {
        if (folder.isEmpty())
            m_view.showMessage(MessageId::keinordner, QString());
        else
            m_view.showMessage(MessageId::ordnerfalsch, folder);
        return false;
    }
    if (m_settings.checked(Setting::n_eigenen) && m_settings.text(Setting::ed_name).isEmpty()) {
        m_view.showMessage(MessageId::keinname, QString());
        return false;
    }
    return true;
}

bool GenerationRun::plan(const QString& text, const std::function<void(const PlannedName&)>& each)
{
    if (!checkStart())
        return false;
    const QStringList items = buildItems(text, m_settings.checked(Setting::txt_line));
    NamePlanner planner(readNamingSettings(m_settings));
    for (const QString& item : items)
        each(planner.next(item));
    return true;
}

RunResult GenerationRun::run(const QString& text)
{
    RunResult result;
    if (!checkStart())
        return result;

    const QString folder = m_settings.text(Setting::out_ordner);
    const QStringList items = buildItems(text, m_settings.checked(Setting::txt_line));
    removeLeftoverTemporaries(folder);
    m_numbering.clear();
    result.started = true;
    result.items = static_cast<int>(items.size());
    m_memoryBudget = imageMemoryBudget();
    // Once for the run, not for each image: the images are drawn with their background.
    const QString format = m_settings.text(Setting::out_format);
    if (m_settings.checked(Setting::cb_transparent) && !formatStoresTransparency(format) && !items.isEmpty())
        m_view.showMessage(MessageId::keinetransparenz, formatShortName(format));

    // Options the user changes while the run goes on apply to the images that follow: an image
    // drawn ahead of its turn under settings changed since is drawn again.
    m_settingsChanges = 0;
    QObject changeWatch;
    QObject::connect(&m_settings, &SettingsModel::changed, &changeWatch, [this] { ++m_settingsChanges; });
    QObject::connect(&m_settings, &SettingsModel::previewRequested, &changeWatch, [this] { ++m_settingsChanges; });

    // From here on the run is shown as running; whatever ends it, also an exception, shows its
    // end, so the main window is enabled again and the progress window closed.
    m_view.runStarted(result.items);
    bool finished = false;
    const auto finish = [&](bool cancelled) {
        finished = true;
        m_cancel = false;
        m_view.runFinished(cancelled);
    };
    const auto finishOnEveryPath = qScopeGuard([&] {
        if (!finished)
            finish(true);
    });
    m_view.processEvents();
    // "Written" must hold after a power cut: what the run wrote is flushed before it ends.
    FileSystemSync sync;

    // The image whose turn it is, and the one drawn ahead while the encoder works on it. Names are
    // decided, messages shown and files written in image order on this thread, each image after
    // the previous one is written, so numbering sees the files as a run of one image at a time.
    BackgroundEncoder encoder;
    encoder.setRememberLast(items.size() > 1);
    std::optional<Drawn> current;
    std::optional<Drawn> next;
    for (int i = 0; i < items.size(); ++i) {
        const QString& item = items[i];
        QString written;
        QString attempted;
        QString cause;
        bool ok = false;
        try {
            attempted = CreateFileName(item, m_settings, &m_numbering);
            m_view.imageStarted(i, attempted);
            m_view.processEvents();

            if (current && (current->state != settingsState()
                            || upperExtension(current->fileName) != upperExtension(attempted))) {
                if (current->submitted)
                    encoder.take();
                current.reset();
            }
            if (!current)
                current = draw(item, attempted, {});

            EncodedImage encoded;
            if (m_pipelined) {
                if (!current->error && !current->submitted) {
                    encoder.start(std::move(current->bitmap), current->fileName);
                    current->submitted = true;
                }
                // While the encoder works on this image, the next one is drawn; when both would
                // not fit in memory together, the next one waits for the encoder.
                if (i + 1 < items.size() && !m_cancel) {
                    const qint64 inFlight = current->need;
                    next = draw(items[i + 1], attempted, [&](qint64 need) {
                        if (encoder.started() && need > m_memoryBudget - inFlight)
                            encoder.wait();
                    });
                }
                if (current->submitted)
                    encoded = encoder.take();
                // The encoder goes on with the next image while this one is written, when the two
                // fit in memory side by side and the next one is small: a cancel during the write
                // then waits at most for a short encoding.
                if (next && !next->error && !m_cancel && next->need <= kEarlyEncodingNeed
                    && current->need + next->need <= m_memoryBudget) {
                    encoder.start(std::move(next->bitmap), next->fileName);
                    next->submitted = true;
                }
            } else if (!current->error) {
                encoded = encoder.encodeHere(std::move(current->bitmap), current->fileName);
            }
            const Drawn image = std::move(*current);
            current.reset();
            if (image.error)
                std::rethrow_exception(image.error);
            if (encoded.error)
                std::rethrow_exception(encoded.error);
            if (encoded.encoded) {
                sync.watch(QFileInfo(attempted).absolutePath());
                // A name taken between naming and writing: the numbering is asked again, and a
                // failure is reported with the name that was tried last.
                WriteEncodedFile(attempted, *encoded.bytes,
                                 [&] {
                                     attempted = CreateFileName(item, m_settings, &m_numbering);
                                     return attempted;
                                 },
                                 &written);
                ok = true;
                if (image.fitted) {
                    result.smallestFitted = std::min(result.smallestFitted.value_or(*image.fitted), *image.fitted);
                    result.largestFitted = std::max(result.largestFitted.value_or(*image.fitted), *image.fitted);
                }
                if (image.unfitted)
                    m_view.showMessage(MessageId::passtnicht, written);
            } else {
                cause = storeRefusalCause(attempted);
            }
        } catch (const std::exception& e) {
            ok = false;
            cause = QString::fromUtf8(e.what());
        }
        if (current) { // left by a failure before its turn was over
            if (current->submitted)
                encoder.take();
            current.reset();
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
            result.cancelled = true;
            break;
        }
        current = std::move(next);
        next.reset();
        if (current && !current->error && !current->submitted) {
            try {
                encoder.start(std::move(current->bitmap), current->fileName);
                current->submitted = true;
            } catch (...) {
                current->error = std::current_exception(); // that image's failure, in its turn
            }
        }
    }
    if (result.written > 0) {
        if (const int err = sync.flush()) {
            // The images may not have reached the disk: none of them counts as safely written.
            ++result.failed;
            m_view.showSaveError(result.lastWritten, systemErrorText(err));
        }
    }
    finish(result.cancelled);
    return result;
}

} // namespace qp
