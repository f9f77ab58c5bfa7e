// SPDX-License-Identifier: MIT
#include "core/output/EncoderOptions.h"

#include "codec/FormatRegistry.h"

#include <QScopeGuard>
#include <gtest/gtest.h>

namespace qp {
namespace {

using namespace imaging;

// The encoder options from plain values, without a settings model.
TEST(EncoderOptions, QualityLayersAndProgressiveGoToTheirOptions)
{
    const auto restore = qScopeGuard([] { AusgabeWerteSetzen(EncoderSettings{"100", false, true}); });
    struct Case {
        EncoderSettings settings;
        int quality;
    };
    const Case cases[] = {
        {{"85", true, false}, 85},
        {{"$40", false, true}, 64},
        {{" 7", false, false}, 7},
        // Unclamped: the writers judge the range.
        {{"0", true, true}, 0},
        {{"250", false, true}, 250},
    };
    for (const Case& c : cases) {
        AusgabeWerteSetzen(c.settings);
        const std::string what = c.settings.quality.toStdString();
        for (const int32_t id : {ImagingJpegQuality, ImagingJNGQuality, ImagingMNGQuality})
            EXPECT_EQ(GetCodecOption(id), c.quality) << what;
        for (const int32_t id : {ImagingJpegProgressive, ImagingJNGProgressive, ImagingMNGProgressive})
            EXPECT_EQ(GetCodecOption(id), c.settings.progressive ? 1 : 0) << what;
        EXPECT_EQ(GetCodecOption(ImagingPSDSaveAsLayer), c.settings.psdLayers ? 1 : 0) << what;
    }

    // A quality that fails the integer test is refused before any option changes.
    AusgabeWerteSetzen(EncoderSettings{"90", false, true});
    for (const char* bad : {"", "abc", "9 0", "90 "}) {
        try {
            AusgabeWerteSetzen(EncoderSettings{bad, true, false});
            ADD_FAILURE() << "accepted '" << bad << "'";
        } catch (const ConversionError& e) {
            EXPECT_EQ(std::string(e.what()), "'" + std::string(bad) + "' is not a valid integer value");
        }
        EXPECT_EQ(GetCodecOption(ImagingJpegQuality), 90) << bad;
        EXPECT_EQ(GetCodecOption(ImagingPSDSaveAsLayer), 0) << bad;
        EXPECT_EQ(GetCodecOption(ImagingJpegProgressive), 1) << bad;
    }
}

} // namespace
} // namespace qp
