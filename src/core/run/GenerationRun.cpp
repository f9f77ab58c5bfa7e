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

#include <optional>

namespace qp {

namespace {
// The largest memory need of an image whose encoding starts while the one before is written:
// about three million pixels, a tenth of a second or so of encoding.
constexpr qint64 kEarlyEncodingNeed = qint64(32) << 20;

// The run as its view shows it: opened when the guard is made (the main window disabled, the
// progress window shown) and closed when it goes, whatever ends the run (the last image, a cancel,
// an exception), so the main window is enabled again and the progress window closed. The cancel
// request is cleared with it, so the next run starts afresh.
class ShownRun {
public:
    ShownRun(RunView& view, bool& cancel, int count) : m_view(view), m_cancel(cancel) { m_view.runStarted(count); }
    ~ShownRun()
    {
        if (!m_closed)
            close(true);
    }
    ShownRun(const ShownRun&) = delete;
    ShownRun& operator=(const ShownRun&) = delete;

    void close(bool cancelled)
    {
        m_closed = true;
        m_cancel = false;
        m_view.runFinished(cancelled);
    }

private:
    RunView& m_view;
    bool& m_cancel;
    bool m_closed = false;
};

// Counts the changes of the settings (and the requests for a new preview) while it lives: options
// the user changes while the run goes on apply to the images that follow, so an image drawn ahead
// of its turn under settings changed since is drawn again.
class SettingsChangeCounter {
public:
    SettingsChangeCounter(SettingsModel& settings, quint64& changes)
    {
        changes = 0;
        QObject::connect(&settings, &SettingsModel::changed, &m_context, [&changes] { ++changes; });
        QObject::connect(&settings, &SettingsModel::previewRequested, &m_context, [&changes] { ++changes; });
    }

private:
    QObject m_context; // the connections end with it
};
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

// What a run keeps from one image to the next: the image whose turn it is, and the one drawn ahead
// while the encoder works on it. Names are decided, messages shown and files written in image
// order on the run's thread, each image after the previous one is written, so numbering sees the
// files as a run of one image at a time.
struct GenerationRun::Pass {
    Pass(const QStringList& runItems, RunResult& runResult) : items(runItems), result(runResult)
    {
        encoder.setRememberLast(items.size() > 1);
    }

    // Hands `image` to the encoder's thread, unless it failed or is there already.
    void submit(Drawn& image)
    {
        if (image.error || image.submitted)
            return;
        encoder.start(std::move(image.bitmap), image.fileName);
        image.submitted = true;
    }
    // Lets go of the current image, and of what the encoder made of it.
    void dropCurrent()
    {
        if (!current)
            return;
        if (current->submitted)
            encoder.take();
        current.reset();
    }
    // The current image, now that its bytes are taken: its turn is over.
    Drawn takeCurrent()
    {
        Drawn image = std::move(*current);
        current.reset();
        return image;
    }

    const QStringList& items;
    RunResult& result;
    FileSystemSync sync; // "written" must hold after a power cut: flushed before the run ends
    BackgroundEncoder encoder;
    std::optional<Drawn> current;
    std::optional<Drawn> next;
};

// One image on its way: the name it was tried under, where it was written, or why it failed.
struct GenerationRun::Turn {
    int index = 0;
    QString item;
    QString attempted;
    QString written;
    QString cause;
    bool ok = false;
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
    return checkFolder() && checkOwnName();
}

bool GenerationRun::checkFolder()
{
    const QString folder = m_settings.text(Setting::out_ordner);
    if (IsValidFolderPath(folder))
        return true;
    if (folder.isEmpty())
        m_view.showMessage(MessageId::keinordner, QString());
    else
        m_view.showMessage(MessageId::ordnerfalsch, folder);
    return false;
}

bool GenerationRun::checkOwnName()
{
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

// The checks (folder, own name), the memory estimate, then each image in turn: named, drawn,
// encoded, written and reported. From the first image to the end the run is shown as running.
RunResult GenerationRun::run(const QString& text)
{
    RunResult result;
    if (!checkStart())
        return result;
    const QStringList items = buildItems(text, m_settings.checked(Setting::txt_line));
    beginRun(items, result);
    estimateMemory();
    warnOfLostTransparency(items);

    const SettingsChangeCounter changes(m_settings, m_settingsChanges);
    ShownRun shown(m_view, m_cancel, result.items);
    m_view.processEvents();
    Pass pass(items, result);
    for (int i = 0; i < items.size(); ++i) {
        makeImage(pass, i);
        if (m_cancel) {
            result.cancelled = true;
            break;
        }
        takeNextTurn(pass);
    }
    flushWritten(pass);
    shown.close(result.cancelled);
    return result;
}

// Leftovers of an interrupted run go, and numbering starts afresh.
void GenerationRun::beginRun(const QStringList& items, RunResult& result)
{
    removeLeftoverTemporaries(m_settings.text(Setting::out_ordner));
    m_numbering.clear();
    result.started = true;
    result.items = static_cast<int>(items.size());
}

// What one image may take, read once for the run.
void GenerationRun::estimateMemory()
{
    m_memoryBudget = imageMemoryBudget();
}

// Once for the run, not for each image: the images are drawn with their background.
void GenerationRun::warnOfLostTransparency(const QStringList& items)
{
    const QString format = m_settings.text(Setting::out_format);
    if (m_settings.checked(Setting::cb_transparent) && !formatStoresTransparency(format) && !items.isEmpty())
        m_view.showMessage(MessageId::keinetransparenz, formatShortName(format));
}

// Names, draws, encodes and writes image `index`, then reports it. A failure (std::exception)
// is that image's, reported with its cause; anything else ends the run.
void GenerationRun::makeImage(Pass& pass, int index)
{
    Turn turn;
    turn.index = index;
    turn.item = pass.items[index];
    try {
        nameImage(turn);
        drawImage(pass, turn);
        const EncodedImage encoded = encodeImage(pass, turn);
        writeImage(pass, turn, pass.takeCurrent(), encoded);
    } catch (const std::exception& e) {
        turn.ok = false;
        turn.cause = QString::fromUtf8(e.what());
    }
    pass.dropCurrent(); // left by a failure before its turn was over
    reportImage(pass, turn);
}

void GenerationRun::nameImage(Turn& turn)
{
    turn.attempted = CreateFileName(turn.item, m_settings, &m_numbering);
    m_view.imageStarted(turn.index, turn.attempted);
    m_view.processEvents();
}

// The image drawn ahead is used unless the settings changed since or the name asks for another
// format; otherwise the image is drawn now.
void GenerationRun::drawImage(Pass& pass, const Turn& turn)
{
    if (pass.current && (pass.current->state != settingsState()
                         || upperExtension(pass.current->fileName) != upperExtension(turn.attempted)))
        pass.dropCurrent();
    if (!pass.current)
        pass.current = draw(turn.item, turn.attempted, {});
}

// The file bytes of the current image. Pipelined, the encoder's thread makes them while the next
// image is drawn here; otherwise they are made here.
EncodedImage GenerationRun::encodeImage(Pass& pass, const Turn& turn)
{
    if (!m_pipelined) {
        if (pass.current->error)
            return {};
        return pass.encoder.encodeHere(std::move(pass.current->bitmap), pass.current->fileName);
    }
    pass.submit(*pass.current);
    drawAhead(pass, turn);
    EncodedImage encoded;
    if (pass.current->submitted)
        encoded = pass.encoder.take();
    encodeAheadEarly(pass);
    return encoded;
}

// While the encoder works on the current image, the next one is drawn; when both would not fit
// in memory together, the next one waits for the encoder.
void GenerationRun::drawAhead(Pass& pass, const Turn& turn)
{
    if (turn.index + 1 >= pass.items.size() || m_cancel)
        return;
    const qint64 inFlight = pass.current->need;
    pass.next = draw(pass.items[turn.index + 1], turn.attempted, [&](qint64 need) {
        if (pass.encoder.started() && need > m_memoryBudget - inFlight)
            pass.encoder.wait();
    });
}

// The encoder goes on with the next image while this one is written, when the two fit in memory
// side by side and the next one is small: a cancel during the write then waits at most for a
// short encoding.
void GenerationRun::encodeAheadEarly(Pass& pass)
{
    const std::optional<Drawn>& next = pass.next;
    if (next && !next->error && !m_cancel && next->need <= kEarlyEncodingNeed
        && pass.current->need + next->need <= m_memoryBudget)
        pass.submit(*pass.next);
}

void GenerationRun::writeImage(Pass& pass, Turn& turn, const Drawn& image, const EncodedImage& encoded)
{
    if (image.error)
        std::rethrow_exception(image.error);
    if (encoded.error)
        std::rethrow_exception(encoded.error);
    if (!encoded.encoded) {
        turn.cause = storeRefusalCause(turn.attempted);
        return;
    }
    pass.sync.watch(QFileInfo(turn.attempted).absolutePath());
    // A name taken between naming and writing: the numbering is asked again, and a failure is
    // reported with the name that was tried last.
    const auto rename = [&] {
        turn.attempted = CreateFileName(turn.item, m_settings, &m_numbering);
        return turn.attempted;
    };
    WriteEncodedFile(turn.attempted, *encoded.bytes, rename, &turn.written);
    turn.ok = true;
    if (image.fitted) {
        RunResult& result = pass.result;
        result.smallestFitted = std::min(result.smallestFitted.value_or(*image.fitted), *image.fitted);
        result.largestFitted = std::max(result.largestFitted.value_or(*image.fitted), *image.fitted);
    }
    if (image.unfitted)
        m_view.showMessage(MessageId::passtnicht, turn.written);
}

// Of the written images only the last path is kept: memory stays flat however many images a run
// makes.
void GenerationRun::reportImage(Pass& pass, Turn& turn)
{
    if (turn.ok) {
        ++pass.result.written;
        pass.result.lastWritten = turn.written;
    } else {
        ++pass.result.failed;
        turn.written.clear();
        m_view.showSaveError(turn.attempted, turn.cause);
    }
    m_view.imageFinished(turn.index, turn.written);
}

// The image drawn ahead takes its turn; the encoder starts on it unless it already has.
void GenerationRun::takeNextTurn(Pass& pass)
{
    pass.current = std::move(pass.next);
    pass.next.reset();
    if (!pass.current)
        return;
    try {
        pass.submit(*pass.current);
    } catch (...) {
        pass.current->error = std::current_exception(); // that image's failure, in its turn
    }
}

void GenerationRun::flushWritten(Pass& pass)
{
    if (pass.result.written == 0)
        return;
    if (const int err = pass.sync.flush()) {
        // The images may not have reached the disk: none of them counts as safely written.
        ++pass.result.failed;
        m_view.showSaveError(pass.result.lastWritten, systemErrorText(err));
    }
}

} // namespace qp
