// SPDX-License-Identifier: MIT
// A run that draws the next image while the previous one is encoded must show and write exactly
// what a run of one image at a time does.
#include "core/output/MemoryEstimate.h"
#include "core/render/Renderer.h"
#include "core/run/GenerationRun.h"
#include "core/settings/SettingsModel.h"
#include "support/SystemPaths.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <functional>
#include <gtest/gtest.h>
#include <map>
#include <random>

using namespace qp;

namespace {

// Everything a run shows, with the output folder written as "<dir>" so two folders compare.
class LoggingView : public RunView {
public:
    explicit LoggingView(QString folder) : m_folder(std::move(folder)) {}
    void showMessage(const QString& id, const QString& parameter) override { log << "message " + id + " " + rel(parameter); }
    void showSaveError(const QString& path, const QString& cause) override
    {
        log << "save error " + rel(path) + " | " + rel(cause);
    }
    void runStarted(int count) override { log << "started " + QString::number(count); }
    void imageStarted(int index, const QString& path) override
    {
        log << QStringLiteral("image %1 %2").arg(index).arg(rel(path));
        if (onImageStarted)
            onImageStarted(index, path);
    }
    void imageFinished(int index, const QString& writtenPath) override
    {
        log << QStringLiteral("done %1 %2").arg(index).arg(rel(writtenPath));
    }
    void runFinished(bool cancelled) override { log << (cancelled ? "cancelled" : "finished"); }
    void processEvents() override
    {
        if (onEvents)
            onEvents();
    }

    QStringList log;
    std::function<void(int, const QString&)> onImageStarted;
    std::function<void()> onEvents;

private:
    QString rel(QString path) const { return path.replace(m_folder, QStringLiteral("<dir>")); }
    QString m_folder;
};

// One way a run can go: its text, its format, and what happens on the way.
struct Scenario {
    unsigned seed;
    const char* format;
    bool tightMemory;     // the longest lines exceed the memory budget
    bool unwritable;      // the output folder lies below a file
    int cancelAt;         // the user cancels while this image is made (-1: never)
    int changeAt;         // the user changes the font size and the format during this image (-1: never)
    int takenAt;          // another program takes this image's name before it is written (-1: never)
};

const Scenario kScenarios[] = {
    {1, "*.png - Portable Network Graphics", false, false, -1, -1, 4},
    {2, "*.png - Portable Network Graphics", true, false, -1, -1, -1},
    {3, "*.jpg - JPEG-Bild", false, false, 7, -1, 2},
    {4, "*.gif - Graphics Interchange Format", true, false, -1, 5, -1},
    {5, "*.ico - Windows Icon", false, false, -1, 3, 6},
    {6, "*.xyz - Nothing", false, false, -1, -1, -1},
    {7, "*.png - Portable Network Graphics", false, true, -1, -1, -1},
    {8, "*.bmp - Windows Bitmap", true, false, 12, 2, 0},
};

const QStringList kWords = {"a", "b c", "Hello World", "", "x/y", "a", "Quill press", "\\nl", "b c"};
const QString kLongLine = QString(300, QLatin1Char('W'));

QString randomText(std::mt19937& rng)
{
    QStringList lines;
    const int count = 12 + int(rng() % 20);
    for (int i = 0; i < count; ++i)
        lines << (rng() % 8 == 0 ? kLongLine : kWords[int(rng() % kWords.size())]);
    lines.insert(int(rng() % lines.size()), kLongLine);
    return lines.join(QLatin1Char('\n'));
}

struct Outcome {
    QStringList log;
    std::map<QString, QByteArray> files;
    RunResult result;
};

Outcome runScenario(const Scenario& s, const QString& text, bool pipelined)
{
    QTemporaryDir dir;
    Outcome out;
    if (!dir.isValid())
        return out;
    // Names taken before the run: the numbering goes around them.
    for (const char* taken : {"a.png", "a1.png", "a3.png", "hello_world.jpg", "b_c1.gif", "b_c.bmp"}) {
        QFile f(dir.filePath(QString::fromLatin1(taken)));
        if (f.open(QIODevice::WriteOnly))
            f.write("taken");
    }
    // As the user enters it: in the system's form.
    const QString folder = test::nativePath(s.unwritable ? dir.filePath(QStringLiteral("a.png/out")) : dir.path());

    SettingsModel settings;
    settings.setText(Setting::out_ordner, folder);
    settings.setText(Setting::label2, "DejaVu Sans");
    settings.setFontListSelected(true);
    settings.setChecked(Setting::txt_line, true);
    settings.setText(Setting::FSize, "12");
    settings.setText(Setting::out_format, QString::fromLatin1(s.format));

    if (s.tightMemory) {
        // Between the long line and the widest of the short ones.
        qint64 shortNeed = 0;
        for (const QString& word : kWords) {
            const QImage image = CreateBitmap(word, settings);
            shortNeed = std::max(shortNeed, estimatedImageMemory(image.width(), image.height(), "x.png"));
        }
        const QImage longImage = CreateBitmap(kLongLine, settings);
        setImageMemoryBudget((shortNeed + estimatedImageMemory(longImage.width(), longImage.height(), "x.png")) / 2);
    }

    LoggingView view(test::nativePath(dir.path()));
    GenerationRun run(settings, view);
    run.setPipelined(pipelined);
    int current = -1;
    view.onImageStarted = [&](int index, const QString& path) {
        current = index;
        if (index == s.cancelAt)
            run.requestCancel();
        if (index == s.takenAt) {
            QFile intruder(path);
            if (intruder.open(QIODevice::NewOnly))
                intruder.write("theirs");
        }
    };
    // Changes arrive where the desktop program lets events through.
    view.onEvents = [&] {
        if (current == s.changeAt && s.changeAt >= 0) {
            settings.setText(Setting::FSize, "16");
            settings.setText(Setting::out_format, "*.png - Portable Network Graphics");
        }
    };
    out.result = run.run(text);
    setImageMemoryBudget(0);
    out.log = view.log;
    const QDir d(dir.path());
    for (const QString& name : d.entryList(QDir::Files | QDir::Hidden, QDir::Name)) {
        QFile f(d.filePath(name));
        if (f.open(QIODevice::ReadOnly))
            out.files[name] = f.readAll();
    }
    return out;
}

QStringList names(const Outcome& o)
{
    QStringList list;
    for (const auto& [name, bytes] : o.files)
        list << name;
    return list;
}

} // namespace

TEST(PipelinedRun, ShowsAndWritesWhatTheSequentialRunDoes)
{
    for (const Scenario& s : kScenarios) {
        std::mt19937 rng(s.seed);
        const QString text = randomText(rng);
        SCOPED_TRACE(testing::Message() << "seed " << s.seed << ": " << s.format);
        const Outcome sequential = runScenario(s, text, false);
        const Outcome pipelined = runScenario(s, text, true);
        ASSERT_TRUE(sequential.result.started);
        EXPECT_EQ(pipelined.log, sequential.log);
        EXPECT_EQ(names(pipelined), names(sequential));
        EXPECT_TRUE(pipelined.files == sequential.files) << "the bytes of a file differ";
        EXPECT_EQ(pipelined.result.written, sequential.result.written);
        EXPECT_EQ(pipelined.result.failed, sequential.result.failed);
        EXPECT_EQ(pipelined.result.cancelled, sequential.result.cancelled);
        // The scenario did what it was meant to: files written unless the folder is unwritable,
        // failures where they were provoked.
        EXPECT_EQ(sequential.result.written > 0, !s.unwritable && !QByteArray(s.format).contains("xyz"));
        if (s.tightMemory || s.unwritable) {
            EXPECT_GT(sequential.result.failed, 0);
        }
        EXPECT_EQ(sequential.result.cancelled, s.cancelAt >= 0);
        if (s.takenAt >= 0) { // the other program's file is kept and the image numbered past it
            const auto theirs = std::find_if(sequential.files.begin(), sequential.files.end(),
                                             [](const auto& file) { return file.second == "theirs"; });
            EXPECT_NE(theirs, sequential.files.end());
        }
    }
}
