// SPDX-License-Identifier: MIT
#include "core/output/EncoderOptions.h"

#include "codec/FormatRegistry.h"
#include "core/settings/IntegerTest.h"
#include "core/settings/SettingsModel.h"

namespace qp {

EncoderSettings readEncoderSettings(const SettingsModel& settings)
{
    return {settings.text(Setting::out_quality), settings.checked(Setting::psdlayers),
            settings.checked(Setting::progressivaktiv)};
}

void AusgabeWerteSetzen(const SettingsModel& settings)
{
    AusgabeWerteSetzen(readEncoderSettings(settings));
}

void AusgabeWerteSetzen(const EncoderSettings& settings)
{
    using namespace imaging;
    const QString& qualityText = settings.quality;
    const auto quality = toInteger(qualityText);
    if (!quality)
        throw ConversionError(QStringLiteral("'%1' is not a valid integer value").arg(qualityText).toStdString());
    SetCodecOption(ImagingJpegQuality, *quality);
    SetCodecOption(ImagingJNGQuality, *quality);
    SetCodecOption(ImagingMNGQuality, *quality);

    SetCodecOption(ImagingPSDSaveAsLayer, settings.psdLayers ? 1 : 0);

    const int progressive = settings.progressive ? 1 : 0;
    SetCodecOption(ImagingJpegProgressive, progressive);
    SetCodecOption(ImagingJNGProgressive, progressive);
    SetCodecOption(ImagingMNGProgressive, progressive);
}

} // namespace qp
