// SPDX-License-Identifier: MIT
#pragma once
// The option table: encoder settings carried by numeric id, bound to the variables of their owners.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace imaging {

enum TOptionId : int32_t {
    ImagingJpegQuality = 10,
    ImagingJpegProgressive = 11,
    ImagingBitmapRLE = 12,
    ImagingTargaRLE = 13,
    ImagingDDSLoadedCubeMap = 14,
    ImagingDDSLoadedVolume = 15,
    ImagingDDSLoadedMipMapCount = 16,
    ImagingDDSLoadedDepth = 17,
    ImagingDDSSaveCubeMap = 18,
    ImagingDDSSaveVolume = 19,
    ImagingDDSSaveMipMapCount = 20,
    ImagingDDSSaveDepth = 21,
    ImagingPNGPreFilter = 25,
    ImagingPNGCompressLevel = 26,
    ImagingMNGLossyCompression = 28,
    ImagingMNGLossyAlpha = 29,
    ImagingMNGPreFilter = 30,
    ImagingMNGCompressLevel = 31,
    ImagingMNGQuality = 32,
    ImagingMNGProgressive = 33,
    ImagingJNGLossyAlpha = 40,
    ImagingJNGAlphaPreFilter = 41,
    ImagingJNGAlphaCompressLevel = 42,
    ImagingJNGQuality = 43,
    ImagingJNGProgressive = 44,
    ImagingPGMSaveBinary = 50,
    ImagingPPMSaveBinary = 51,
    ImagingJpeg2000Quality = 55,
    ImagingJpeg2000CodeStreamOnly = 56,
    ImagingJpeg2000LosslessCompression = 57,
    ImagingTiffCompression = 65,
    ImagingPSDSaveAsLayer = 70,
    ImagingColorReductionMask = 128,
    ImagingLoadOverrideFormat = 129,
    ImagingSaveOverrideFormat = 130,
    ImagingMipMapFilter = 131,
};

// Value returned by GetOption for an id that is not bound.
constexpr int32_t InvalidOption = -2147483647;

class TOptionTable {
public:
    TOptionTable();
    // Binds id to a variable, which already holds the option's default. False (first binding kept)
    // when the id is negative or already bound. The table grows to id + 256 entries when needed.
    bool RegisterOption(int32_t id, int32_t* variable);
    // Stores value in the bound variable, after the clamps of the core ids 128 to 131.
    bool SetOption(int32_t id, int32_t value);
    int32_t GetOption(int32_t id) const;
    size_t Capacity() const { return m_options.size(); }

private:
    std::vector<int32_t*> m_options;
};

} // namespace imaging
