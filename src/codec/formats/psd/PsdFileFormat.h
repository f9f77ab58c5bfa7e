// SPDX-License-Identifier: MIT
#pragma once
// Photoshop document writer: big-endian header, the palette of indexed images, no image
// resources, an optional layer "Layer 0" holding the image (option 70), and the merged image.
// Channel data is PackBits-compressed, floating-point merged data is raw.
#include "codec/ImageFileFormat.h"

namespace imaging {

// Appends one row in PackBits form: a run of 3 to 128 equal bytes becomes the byte 1 - n and
// the value; other bytes go into literal packets (n - 1, then n bytes, n up to 128) that end
// where 3 equal bytes follow and never take the last byte of the row, which becomes a packet of
// its own unless it ends a run. Returns the number of bytes appended.
size_t PackBitsRow(const uint8_t* row, size_t count, TMemoryStream& out);

class TPSDFileFormat : public TImageFileFormat {
public:
    explicit TPSDFileFormat(TOptionTable& options);

protected:
    void WriteImages(TMemoryStream& stream, const TDynImageDataArray& images) override;
    void ConvertForWriting(TImageData& image, const TImageFormatInfo& info) override;

    int32_t m_saveAsLayer = -1;   // option 70: add the image as a layer as well
};

} // namespace imaging
