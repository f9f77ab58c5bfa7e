// SPDX-License-Identifier: MIT
#pragma once
// The "Create and Save" run: checks folder and name, makes one image of the whole text or one per
// line, writes every file, reports failed images one by one and honours a cancel request.
#include "core/run/FileNaming.h"
#include "core/run/NumberingMemo.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <optional>
#include <stdexcept>

namespace qp {

class SettingsModel;
struct EncodedImage;

// What a run shows to its user. The desktop program implements it with its progress and message
// windows; the command-line tool with the terminal.
class RunView {
public:
    virtual ~RunView() = default;
    // A problem by message identifier; `parameter` is a path or empty. The run waits until it
    // returns (the desktop program shows a modal message window).
    virtual void showMessage(const QString& id, const QString& parameter) = 0;
    // An image that could not be made or written: the save error ("speicherfehler") with the
    // image's path, and what went wrong (`cause`: an image over a size cap, a full disk, a refused
    // permission ...), shown below the message. Shows the save error alone unless overridden.
    virtual void showSaveError(const QString& path, const QString& cause);
    // The run begins with `count` images: disable the main window, show the progress window.
    virtual void runStarted(int count) = 0;
    // Image `index` will be written to `path`.
    virtual void imageStarted(int index, const QString& path) = 0;
    // Image `index` is done; `writtenPath` is empty when it failed.
    virtual void imageFinished(int index, const QString& writtenPath) = 0;
    // The run is over (after the last image or a cancel): hide the progress, enable the window.
    virtual void runFinished(bool cancelled) = 0;
    // Lets pending events through (the cancel button, timers, option windows).
    virtual void processEvents() {}
};

// A line of more than 65,535 characters cannot be taken from the text box.
class RunError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A line of the text in per-line mode is longer than a line may be.
class LineTooLongError : public RunError {
public:
    static constexpr int maxLength = 65535;
    LineTooLongError() : RunError("A line of the text is longer than 65535 characters") {}
};

struct RunResult {
    bool started = false;     // false when a check refused the run
    int items = 0;
    int written = 0;
    int failed = 0;
    bool cancelled = false;
    QString lastWritten;      // path of the last image written, empty when none was
    // Shrinking to fit: the smallest and largest font size the written images were drawn at.
    std::optional<qint64> smallestFitted;
    std::optional<qint64> largestFitted;
};

class GenerationRun {
public:
    GenerationRun(SettingsModel& settings, RunView& view) : m_settings(settings), m_view(view) {}

    // durchfuehrenClick: runs over `text` (the content of the text box). Exceptions from the
    // encoder options (a quality text that is not a number) and RunError pass to the caller
    // before anything is shown.
    RunResult run(const QString& text);

    // The paths a run of `text` would write now, in image order, each handed to `each`, without
    // drawing or writing anything (the output folder is not created either). Makes the run's
    // checks first and returns false, with the run's message shown, when the run would not start;
    // throws what the run throws before its first image.
    bool plan(const QString& text, const std::function<void(const PlannedName&)>& each);

    // The progress window's cancel button: the run ends after the current image.
    void requestCancel() { m_cancel = true; }
    bool cancelRequested() const { return m_cancel; }

    // Whether the run draws the next image while the previous one is encoded on a second thread
    // (the default). Off, every image is named, drawn, encoded and written before the next one
    // begins; what the run shows and writes is the same either way.
    void setPipelined(bool pipelined) { m_pipelined = pipelined; }

    // The items of a run: one per line of the text box (per-line mode, "\nl" as CR LF) or the
    // whole text with CR LF line breaks.
    static QStringList buildItems(const QString& text, bool perLine);

private:
    struct Drawn; // an image drawn for its turn or ahead of it
    struct Pass;  // what a run keeps from one image to the next
    struct Turn;  // one image on its way from its name to its report

    // Before the run: the checks that may refuse it, then what it may take.
    bool checkStart();
    bool checkFolder();
    bool checkOwnName();
    void beginRun(const QStringList& items, RunResult& result);
    void estimateMemory();
    void warnOfLostTransparency(const QStringList& items);

    // The steps of one image, in their order; makeImage takes it through them and reports it.
    void makeImage(Pass& pass, int index);
    void nameImage(Turn& turn);
    void drawImage(Pass& pass, const Turn& turn);
    EncodedImage encodeImage(Pass& pass, const Turn& turn);
    void drawAhead(Pass& pass, const Turn& turn);
    void encodeAheadEarly(Pass& pass);
    void writeImage(Pass& pass, Turn& turn, const Drawn& image, const EncodedImage& encoded);
    void reportImage(Pass& pass, Turn& turn);
    void takeNextTurn(Pass& pass);
    void flushWritten(Pass& pass);

    Drawn draw(const QString& item, const QString& fileName, const std::function<void(qint64)>& makeRoom);
    quint64 settingsState() const;

    SettingsModel& m_settings;
    RunView& m_view;
    bool m_cancel = false;
    bool m_pipelined = true;
    quint64 m_settingsChanges = 0; // settings changes seen during the run
    qint64 m_memoryBudget = 0;     // what one image may take, read when the run starts
    NumberingMemo m_numbering; // numbers found taken during this run
};

} // namespace qp
