// SPDX-License-Identifier: MIT
#pragma once
// Copies the encoder settings of the format options window into the codec's option table.
#include <QString>
#include <stdexcept>

namespace qp {

class SettingsModel;

// Raised when the quality text is not an integer.
class ConversionError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The encoder settings of the format options window, as values.
struct EncoderSettings {
    QString quality;          // out_quality, as typed
    bool psdLayers = false;   // psdlayers
    bool progressive = true;  // progressivaktiv
};
EncoderSettings readEncoderSettings(const SettingsModel& settings);

// Sets the codec options that the format rows name for their encoder options: quality (JPEG,
// JNG, MNG: 10, 43, 32) from out_quality, unclamped; progressive (11, 44, 33) from
// progressivaktiv; layers (PSD: 70) from psdlayers. Raises ConversionError, setting nothing, when
// out_quality fails the integer test.
void AusgabeWerteSetzen(const EncoderSettings& settings);
void AusgabeWerteSetzen(const SettingsModel& settings);

// Which encoder settings of the format options window some format row offers: the window shows
// the controls of these.
struct OfferedEncoderSettings {
    bool quality = false;
    bool progressive = false;
    bool psdLayers = false;
};
OfferedEncoderSettings offeredEncoderSettings();

} // namespace qp
