// SPDX-License-Identifier: MIT
#include "output/EncoderOptions.h"

#include "codec/FormatRegistry.h"
#include "settings/IntegerTest.h"
#include "settings/SettingsModel.h"

namespace qp {

void AusgabeWerteSetzen(const SettingsModel& settings)
{
    using namespace imaging;
    const QString qualityText = settings.text(QStringLiteral("out_quality"));
    const auto quality = toInteger(qualityText);
    if (!quality)
        throw ConversionError(QStringLiteral("'%1' is not a valid integer value").arg(qualityText).toStdString());
    SetCodecOption(ImagingJpegQuality, *quality);
    SetCodecOption(ImagingJNGQuality, *quality);
    SetCodecOption(ImagingMNGQuality, *quality);

    SetCodecOption(ImagingPSDSaveAsLayer, settings.checked(QStringLiteral("psdlayers")) ? 1 : 0);

    const int progressive = settings.checked(QStringLiteral("progressivaktiv")) ? 1 : 0;
    SetCodecOption(ImagingJpegProgressive, progressive);
    SetCodecOption(ImagingJNGProgressive, progressive);
    SetCodecOption(ImagingMNGProgressive, progressive);
}

} // namespace qp
