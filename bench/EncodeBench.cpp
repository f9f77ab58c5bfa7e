// SPDX-License-Identifier: MIT
// Encode time of every format of the list for one 4000 x 4000 rendered image.
#include "codec/FormatRegistry.h"
#include "codec/ImageData.h"
#include "core/output/BitmapExchange.h"
#include "core/output/EncoderOptions.h"
#include "core/render/Renderer.h"
#include "core/run/FileNaming.h"
#include "core/settings/SettingsModel.h"

#include <QFile>
#include <benchmark/benchmark.h>

namespace {

// A 4000 x 4000 page of antialiased coloured text.
const imaging::TDynImageDataArray& page()
{
    static const imaging::TDynImageDataArray images = [] {
        qp::SettingsModel s;
        s.setText(qp::Setting::label2, "DejaVu Sans");
        s.setFontListSelected(true);
        s.setChecked(qp::Setting::abstand_fix, true);
        s.setText(qp::Setting::abs_b, "4000");
        s.setText(qp::Setting::abs_h, "4000");
        s.setText(qp::Setting::FSize, "36");
        s.setText(qp::Setting::act_text_fontcolor, "#1E3A8A");
        s.setText(qp::Setting::act_text_hintergrund, "#FFF8E7");
        QString text;
        for (int i = 0; i < 120; ++i)
            text += QStringLiteral("Line %1: The quick brown fox jumps over the lazy dog, again and again. ").arg(i);
        imaging::TDynImageDataArray out(1);
        qp::BitmapToImageData(qp::CreateBitmap(text, s), out[0]);
        imaging::ConvertImageData(out[0], imaging::ifR8G8B8);
        qp::AusgabeWerteSetzen(s);
        // The same pixels for the libraries' own command-line tools (see bench/compare-tools.sh).
        if (qEnvironmentVariableIsSet("QP_BENCH_PPM")) {
            QFile f(qEnvironmentVariable("QP_BENCH_PPM"));
            if (f.open(QIODevice::WriteOnly)) {
                f.write("P6\n4000 4000\n255\n");
                const imaging::TImageData& img = out[0];
                QByteArray row(img.Width * 3, 0);
                for (int y = 0; y < img.Height; ++y) {
                    const uint8_t* p = img.Row(y);
                    for (int x = 0; x < img.Width; ++x) {
                        row[x * 3] = char(p[x * 3 + 2]);
                        row[x * 3 + 1] = char(p[x * 3 + 1]);
                        row[x * 3 + 2] = char(p[x * 3]);
                    }
                    f.write(row);
                }
            }
        }
        return out;
    }();
    return images;
}

void BM_Encode4000(benchmark::State& state, const std::string& ext)
{
    imaging::TImageFileFormat* writer = imaging::FindWriterForFileName("page" + ext);
    if (!writer) {
        state.SkipWithError("no writer");
        return;
    }
    const auto& images = page();
    size_t bytes = 0;
    for (auto _ : state) {
        std::vector<uint8_t> out;
        if (!writer->WriteImageToMemory(images, out, true)) {
            state.SkipWithError("writer refused");
            return;
        }
        bytes = out.size();
    }
    state.counters["bytes"] = double(bytes);
}

const int registered = [] {
    for (const QString& entry : qp::SettingsModel::outputFormats()) {
        const std::string ext = qp::formatExtension(entry).toStdString();
        if (ext == ".ico" || ext == ".cur")
            continue; // icons are limited to smaller sizes
        benchmark::RegisterBenchmark(("BM_Encode4000/" + ext.substr(1)).c_str(), BM_Encode4000, ext)
            ->Unit(benchmark::kMillisecond)
            ->Iterations(1);
    }
    return 0;
}();

} // namespace
