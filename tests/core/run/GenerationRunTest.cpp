// SPDX-License-Identifier: MIT
#include "core/output/BackgroundEncoder.h"
#include "core/output/EncoderOptions.h"
#include "core/output/MemoryEstimate.h"
#include "core/run/GenerationRun.h"
#include "core/run/Messages.h"
#include "core/settings/SettingsModel.h"
#include "support/SystemPaths.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cerrno>
#include <cstring>
#include <functional>
#include <gtest/gtest.h>

using namespace qp;

namespace {

// Records what a run shows.
class RecordingView : public RunView {
public:
    void showMessage(const QString& id, const QString& parameter) override { messages << id + "|" + parameter; }
    void showSaveError(const QString& path, const QString& cause) override
    {
        RunView::showSaveError(path, cause);
        causes << cause;
    }
    void runStarted(int count) override { started = count; }
    void imageStarted(int index, const QString&) override
    {
        if (onImageStarted)
            onImageStarted(index);
    }
    void imageFinished(int index, const QString& writtenPath) override
    {
        lastPosition = index + 1;
        written << writtenPath;
    }
    void runFinished(bool wasCancelled) override
    {
        finished = true;
        cancelled = wasCancelled;
    }

    QStringList messages;
    QStringList causes;
    QStringList written;
    int started = -1;
    int lastPosition = 0;
    bool finished = false;
    bool cancelled = false;
    std::function<void(int)> onImageStarted;
};

class GenerationRunTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        settings.setText(Setting::out_ordner, folder());
        settings.setText(Setting::label2, "DejaVu Sans");
        settings.setFontListSelected(true);
    }
    // The output folder, or a file in it, as the user enters it: in the system's form.
    QString folder(const QString& name = {}) const
    {
        return test::nativePath(name.isEmpty() ? dir.path() : dir.filePath(name));
    }
    QStringList files() const { return QDir(dir.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name); }

    QTemporaryDir dir;
    SettingsModel settings;
    RecordingView view;
    GenerationRun run{settings, view};
};

} // namespace

TEST(RunItems, LinesAndMarkers)
{
    EXPECT_EQ(GenerationRun::buildItems("a\n\nb", true), QStringList({"a", "", "b"}));
    EXPECT_EQ(GenerationRun::buildItems("a\n", true), QStringList({"a"}));
    EXPECT_EQ(GenerationRun::buildItems("", true), QStringList());
    EXPECT_EQ(GenerationRun::buildItems("x\\nly", true), QStringList({"x\r\ny"}));
    EXPECT_EQ(GenerationRun::buildItems("a\r\nb", true), QStringList({"a", "b"}));
    EXPECT_EQ(GenerationRun::buildItems("", false), QStringList({""}));
    EXPECT_EQ(GenerationRun::buildItems("a\nb\\nlc", false), QStringList({"a\r\nb\\nlc"}));
    EXPECT_THROW(GenerationRun::buildItems(QString(65536, 'x'), true), RunError);
}

TEST_F(GenerationRunTest, ChecksRefuseTheRunWithTheirMessage)
{
    settings.setText(Setting::out_ordner, "");
    EXPECT_FALSE(run.run("x").started);
    settings.setText(Setting::out_ordner, "relative/out");
    EXPECT_FALSE(run.run("x").started);
    settings.setText(Setting::out_ordner, folder());
    settings.setChecked(Setting::n_eigenen, true);
    settings.setText(Setting::ed_name, "");
    EXPECT_FALSE(run.run("x").started);
    EXPECT_EQ(view.messages, QStringList({"keinordner|", "ordnerfalsch|relative/out", "keinname|"}));
    EXPECT_EQ(view.started, -1);
    EXPECT_TRUE(files().isEmpty());

    settings.setText(Setting::out_quality, "abc");
    EXPECT_THROW(run.run("x"), ConversionError);
    EXPECT_EQ(view.started, -1);
}

TEST_F(GenerationRunTest, DefaultRunNamesFromTheTextAndNeverOverwrites)
{
    const RunResult first = run.run("Hello World");
    EXPECT_EQ(first.written, 1);
    const RunResult second = run.run("Hello World");
    EXPECT_EQ(second.written, 1);
    EXPECT_EQ(files(), QStringList({"hello_world.jpg", "hello_world1.jpg"}));
    EXPECT_TRUE(view.messages.isEmpty());
}

TEST_F(GenerationRunTest, PerLineModeMakesOneImagePerLine)
{
    settings.setChecked(Setting::txt_line, true);
    settings.setText(Setting::out_format, "*.png - Portable Network Graphics");
    const RunResult r = run.run("a\n\nb\n");
    EXPECT_EQ(r.items, 3);
    EXPECT_EQ(r.written, 3);
    // The empty line gets a visible name.
    EXPECT_EQ(files(), QStringList({"1.png", "a.png", "b.png"}));
    EXPECT_EQ(view.lastPosition, 3);

    view.started = -1;
    EXPECT_EQ(run.run("").items, 0);
    EXPECT_EQ(view.started, 0);
    EXPECT_TRUE(view.finished);
}

// Shrinking to fit: each image of a per-line run fits on its own, and each one that does not fit
// even at 1 point is written at 1 point and reported with its path.
TEST_F(GenerationRunTest, ImagesThatDoNotFitEvenAtOnePointAreReportedOneByOne)
{
    settings.setChecked(Setting::txt_line, true);
    settings.setText(Setting::out_format, "*.png - Portable Network Graphics");
    settings.setChecked(Setting::abstand_fix, true);
    settings.setText(Setting::abs_b, "120");
    settings.setText(Setting::abs_h, "40");
    settings.setChecked(Setting::cb_fitbox, true);
    // The second line holds 60 lines, which not even 1 point stacks into 20 pixels.
    QString tall = QStringLiteral("tall");
    for (int i = 0; i < 60; ++i)
        tall += QStringLiteral("\\nlx");
    const RunResult r = run.run("ok\n" + tall + "\nfine\n");
    EXPECT_EQ(r.written, 3);
    ASSERT_EQ(view.messages.size(), 1);
    EXPECT_TRUE(view.messages[0].startsWith("passtnicht|" + folder("tall"))) << view.messages[0].toStdString();
}

TEST_F(GenerationRunTest, CancelEndsAfterTheCurrentImage)
{
    settings.setChecked(Setting::txt_line, true);
    settings.setText(Setting::out_format, "*.bmp - Windows Bitmap");
    view.onImageStarted = [&](int index) {
        if (index == 2)
            run.requestCancel();
    };
    const RunResult r = run.run("1\n2\n3\n4\n5\n6\n7\n8\n9\n10");
    EXPECT_TRUE(r.cancelled);
    EXPECT_EQ(files().size(), 3);
    EXPECT_EQ(view.lastPosition, 3);
    EXPECT_TRUE(view.cancelled);
    EXPECT_TRUE(view.messages.isEmpty());
    EXPECT_FALSE(run.cancelRequested());

    view.onImageStarted = nullptr;
    EXPECT_EQ(run.run("11\n12").written, 2); // the next run starts with the flag clear
}

TEST_F(GenerationRunTest, FailedImagesAreReportedAndTheRunGoesOn)
{
    settings.setChecked(Setting::txt_line, true);
    // A format text without writer: every image is a save error (never a silent skip).
    settings.setText(Setting::out_format, "*.xyz - Nothing");
    RunResult r = run.run("a\nb");
    EXPECT_EQ(r.failed, 2);
    ASSERT_EQ(view.messages.size(), 2);
    EXPECT_EQ(view.messages[0], "speicherfehler|" + folder("a.xyz"));
    EXPECT_EQ(view.messages[1], "speicherfehler|" + folder("b.xyz"));
    EXPECT_TRUE(view.causes[0].contains("\".xyz\"")) << view.causes[0].toStdString();
    EXPECT_TRUE(files().isEmpty());

    // A layout too large to allocate fails only its own image.
    view.messages.clear();
    settings.setText(Setting::out_format, "*.png - Portable Network Graphics");
    settings.setChecked(Setting::abstand_fix, true);
    settings.setText(Setting::abs_b, "2000000000");
    settings.setText(Setting::abs_h, "2000000000");
    settings.setChecked(Setting::txt_all, true);
    r = run.run("huge");
    EXPECT_EQ(r.failed, 1);
    EXPECT_EQ(view.messages, QStringList({"speicherfehler|" + folder("huge.png")}));
    // The cause names the cap, not only the format hint of the message.
    ASSERT_EQ(view.causes.size(), 3);
    EXPECT_TRUE(view.causes[2].contains("1000000 pixels per side")) << view.causes[2].toStdString();
    EXPECT_TRUE(files().isEmpty());
}

// An image the machine cannot hold is refused before it is drawn, with the cause; the next image of
// the run is written.
TEST_F(GenerationRunTest, ImagesOverTheMemoryBudgetAreRefusedWithTheCause)
{
    setImageMemoryBudget(64 << 20);
    settings.setChecked(Setting::txt_line, true);
    settings.setText(Setting::out_format, "*.png - Portable Network Graphics");
    settings.setChecked(Setting::abstand_fix, true);
    settings.setText(Setting::abs_b, "4000");
    settings.setText(Setting::abs_h, "4000");
    const RunResult big = run.run("big");
    settings.setText(Setting::abs_b, "100");
    settings.setText(Setting::abs_h, "50");
    const RunResult small = run.run("small");
    setImageMemoryBudget(0);
    EXPECT_EQ(big.failed, 1);
    ASSERT_EQ(view.causes.size(), 1);
    EXPECT_TRUE(view.causes[0].contains("64 MB")) << view.causes[0].toStdString();
    EXPECT_EQ(small.written, 1);
    EXPECT_EQ(files(), QStringList({"small.png"}));
}

TEST_F(GenerationRunTest, UnwritableFolderReportsEveryImage)
{
    QFile blocker(dir.path() + "/blocker");
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    settings.setText(Setting::out_ordner, folder("blocker/out"));
    settings.setChecked(Setting::txt_line, true);
    const RunResult r = run.run("a\nb\nc");
    EXPECT_EQ(r.failed, 3);
    EXPECT_EQ(view.messages.size(), 3);
#ifdef Q_OS_WIN
    // Windows reports a file on the way to a folder as a path that does not exist.
    const int error = ENOENT;
#else
    const int error = ENOTDIR;
#endif
    for (const QString& cause : view.causes)
        EXPECT_TRUE(cause.contains(QString::fromLocal8Bit(std::strerror(error)))) << cause.toStdString();
}

// Faults inside a run: each one is that image's failure, reported with its cause, and the run goes
// on; whatever ends the run, its end is shown, so the window is enabled again.
TEST_F(GenerationRunTest, FaultsAreTheImagesFailuresAndTheRunAlwaysEnds)
{
    settings.setChecked(Setting::txt_line, true);
    settings.setText(Setting::out_format, "*.png - PNG-Bild");
    struct Case {
        const char* name;
        std::function<void()> fault; // thrown by the writer of the second image
        const char* cause;
    };
    const Case cases[] = {
        {"a writer that throws", [] { throw std::runtime_error("writer broke"); }, "writer broke"},
        {"an allocation that fails", [] { throw std::bad_alloc(); }, "std::bad_alloc"},
    };
    for (const bool pipelined : {true, false}) {
        for (const Case& c : cases) {
            QDir(dir.path()).removeRecursively();
            RecordingView caseView;
            GenerationRun caseRun(settings, caseView);
            caseRun.setPipelined(pipelined);
            int encodings = 0;
            BackgroundEncoder::s_encodeFault = [&] {
                if (++encodings == 2)
                    c.fault();
            };
            const RunResult result = caseRun.run("one\ntwo\nthree");
            BackgroundEncoder::s_encodeFault = {};
            const std::string what = std::string(c.name) + (pipelined ? ", pipelined" : "");
            EXPECT_EQ(result.written, 2) << what;
            EXPECT_EQ(result.failed, 1) << what;
            EXPECT_EQ(caseView.causes, QStringList(c.cause)) << what;
            ASSERT_EQ(caseView.written.size(), 3) << what;
            EXPECT_TRUE(caseView.written[1].isEmpty()) << what;
            EXPECT_TRUE(caseView.finished) << what;
            EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList({"one.png", "three.png"}))
                << what;
        }
    }

    // The folder goes away between naming and writing: that image fails, the next one is written.
    QDir(dir.path()).removeRecursively();
    view.onImageStarted = [&](int index) {
        if (index == 0)
            QDir(dir.path()).removeRecursively();
    };
    RunResult result = run.run("gone\nback");
    EXPECT_EQ(result.failed, 1);
    EXPECT_EQ(result.written, 1);
    EXPECT_TRUE(view.causes.value(0).startsWith("Cannot create a file in")) << view.causes.join('|').toStdString();
    EXPECT_EQ(files(), QStringList({"back.png"}));

    // Something the run does not catch (here the view itself) still ends the run as shown.
    RecordingView throwing;
    throwing.onImageStarted = [](int) { throw 42; };
    GenerationRun broken(settings, throwing);
    EXPECT_THROW(broken.run("x"), int);
    EXPECT_EQ(throwing.started, 1);
    EXPECT_TRUE(throwing.finished);
}

TEST(BackgroundEncoderOrder, AStartBeforeTheLastImageIsTakenIsRefused)
{
    BackgroundEncoder encoder;
    QImage bitmap(4, 4, QImage::Format_RGB32);
    bitmap.fill(Qt::white);
    encoder.start(bitmap, "a.png");
    EXPECT_THROW(encoder.start(bitmap, "b.png"), std::logic_error);
    EXPECT_TRUE(encoder.take().encoded);
    encoder.start(bitmap, "c.png");
    EXPECT_TRUE(encoder.take().encoded);
}
