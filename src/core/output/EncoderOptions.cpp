// SPDX-License-Identifier: MIT
#include "core/output/EncoderOptions.h"

#include "codec/FormatRegistry.h"
#include "codec/FormatRow.h"
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
    const auto value = [&](TFormatOption option) -> int32_t {
        switch (option) {
        case TFormatOption::Quality:
            return *quality;
        case TFormatOption::Progressive:
            return settings.progressive ? 1 : 0;
        case TFormatOption::Layers:
            return settings.psdLayers ? 1 : 0;
        }
        return 0;
    };
    for (const TFormatRow& row : FormatRows())
        for (const TFormatOptionId& option : row.Options)
            SetCodecOption(option.Id, value(option.Option));
}

OfferedEncoderSettings offeredEncoderSettings()
{
    using imaging::AnyFormatOffers;
    using imaging::TFormatOption;
    return {AnyFormatOffers(TFormatOption::Quality), AnyFormatOffers(TFormatOption::Progressive),
            AnyFormatOffers(TFormatOption::Layers)};
}

} // namespace qp
