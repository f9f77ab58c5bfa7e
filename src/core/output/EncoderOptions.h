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

// Sets options 10, 43 and 32 (JPEG, JNG, MNG quality) from out_quality, unclamped; 70 (PSD
// layer) from psdlayers; 11, 44 and 33 (progressive) from progressivaktiv. Raises
// ConversionError when out_quality fails the integer test.
void AusgabeWerteSetzen(const EncoderSettings& settings);
void AusgabeWerteSetzen(const SettingsModel& settings);

} // namespace qp
