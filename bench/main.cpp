// SPDX-License-Identifier: MIT
// Benchmarks of the main job. Run from the build folder: build/bench/quillpress_bench
#include "core/render/GlyphCoverage.h"
#include "core/render/Renderer.h"
#include "core/run/GenerationRun.h"
#include "core/settings/SettingsModel.h"

#include <QDir>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

class QuietView : public qp::RunView {
public:
    void showMessage(const QString&, const QString&) override { ++messages; }
    void runStarted(int) override {}
    void imageStarted(int, const QString&) override {}
    void imageFinished(int, const QString&) override {}
    void runFinished(bool) override {}
    int messages = 0;
};

void configure(qp::SettingsModel& s)
{
    s.setText(qp::Setting::label2, "DejaVu Sans");
    s.setFontListSelected(true);
}

// The per-line run of 1,000 lines written as PNG files; argument 1 draws the next image while the
// previous one is encoded (the program's way), 0 makes one image at a time. Google Benchmark's
// time is wall time on the main thread; its CPU figure counts the main thread only.
void BM_PerLineRunPng(benchmark::State& state)
{
    QString text;
    for (int i = 0; i < 1000; ++i)
        text += QStringLiteral("Line number %1 of the benchmark text\n").arg(i);
    for (auto _ : state) {
        state.PauseTiming();
        QTemporaryDir dir;
        qp::SettingsModel settings;
        configure(settings);
        settings.setText(qp::Setting::out_ordner, dir.path());
        settings.setChecked(qp::Setting::txt_line, true);
        settings.setText(qp::Setting::out_format, "*.png - Portable Network Graphics");
        QuietView view;
        qp::GenerationRun run(settings, view);
        run.setPipelined(state.range(0) != 0);
        state.ResumeTiming();
        const qp::RunResult r = run.run(text);
        if (r.written != 1000)
            state.SkipWithError("not every image was written");
    }
    state.SetItemsProcessed(state.iterations() * 1000);
}
BENCHMARK(BM_PerLineRunPng)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

// One line of `length` characters made of `words` over and over.
QString repeatedTo(const QString& words, qsizetype length)
{
    QString line;
    while (line.size() < length)
        line += words;
    line.truncate(length);
    return line;
}

// The common look, wrapping at a maximum width of 400 pixels.
void configureWrapping(qp::SettingsModel& settings)
{
    configure(settings);
    settings.setText(qp::Setting::abs_bmax, "400");
}

// Wrapping one 5,000-character line at a maximum width of 400 pixels.
void BM_WrapLongLine(benchmark::State& state)
{
    const QString line = repeatedTo(QStringLiteral("lorem ipsum dolor sit amet "), 5000);
    qp::SettingsModel settings;
    configureWrapping(settings);
    for (auto _ : state) {
        const QImage image = qp::CreateBitmap(line, settings);
        benchmark::DoNotOptimize(image.bits());
    }
}
BENCHMARK(BM_WrapLongLine)->Unit(benchmark::kMillisecond)->Iterations(3);

// The layout alone (no drawing) of one 100,000-character line wrapped at 400 pixels.
void BM_LayoutLine100k(benchmark::State& state)
{
    const QString line = repeatedTo(QStringLiteral("lorem ipsum dolor sit amet consectetur "), 100000);
    qp::SettingsModel settings;
    configureWrapping(settings);
    for (auto _ : state)
        benchmark::DoNotOptimize(qp::LayoutText(line, settings).lines.size());
}
BENCHMARK(BM_LayoutLine100k)->Unit(benchmark::kMillisecond)->Iterations(3);

// The renderer's part of a preview redraw: a two-line text on a fixed 400 x 100 image.
void BM_PreviewRedraw(benchmark::State& state)
{
    qp::SettingsModel settings;
    configure(settings);
    settings.setChecked(qp::Setting::abstand_fix, true);
    settings.setText(qp::Setting::abs_b, "400");
    settings.setText(qp::Setting::abs_h, "100");
    for (auto _ : state) {
        const QImage image = qp::CreateBitmap(QStringLiteral("Hello World\nlSecond line"), settings);
        benchmark::DoNotOptimize(image.bits());
    }
}
BENCHMARK(BM_PreviewRedraw)->Unit(benchmark::kMicrosecond);

// The note on missing characters, as a keystroke redoes it: the whole text of the text box
// (argument: characters, a tenth of them Greek, CJK or private-use) in the default face.
void BM_GlyphNoteKeystroke(benchmark::State& state)
{
    qp::SettingsModel settings;
    configure(settings);
    const QFont font = qp::coverageFont(settings);
    const QString sample = QStringLiteral("The quick brown fox jumps over the lazy dog. \u03B1\u6F22\uE000\n");
    QString text;
    while (text.size() < state.range(0))
        text += sample;
    text.truncate(state.range(0));
    for (auto _ : state) {
        const QString note = qp::glyphCoverageNote(qp::glyphCoverage(text, font), QStringLiteral("en"));
        benchmark::DoNotOptimize(note.constData());
    }
}
BENCHMARK(BM_GlyphNoteKeystroke)->Arg(1000)->Arg(100000)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
