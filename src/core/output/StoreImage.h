// SPDX-License-Identifier: MIT
#pragma once
// Writes one image data record to a file whose format is chosen by the file's extension.
#include "codec/ImageData.h"

#include <QImage>
#include <QString>
#include <functional>
#include <stdexcept>

namespace qp {

class StoreError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Gives the next free path when the one being written was taken in the meantime.
using NextPathFunction = std::function<QString()>;

// Encodes `image` with the writer that the extension of `fileName` selects and writes it as a new
// file. Returns false, writing nothing, when no writer matches or the writer refuses the image.
// Never replaces an existing file: when the name is taken by the time the file is moved into
// place, `nextPath` is asked for another name (without it, StoreError is raised). `writtenPath`
// receives the path actually written. Encoding and file errors are raised as exceptions.
// Names ending in .ico or .cur (any case) are written as an icon file (see
// codec/formats/ico/IconFileFormat.h), which returns true or raises.
bool StoreImageFile(const QString& fileName, const imaging::TImageData& image,
                    const NextPathFunction& nextPath = {}, QString* writtenPath = nullptr);
// The same for the first image of a list, without copying its pixels.
bool StoreImageFile(const QString& fileName, const imaging::TDynImageDataArray& images,
                    const NextPathFunction& nextPath = {}, QString* writtenPath = nullptr);

// The two halves of StoreImageFile, so that a run can encode on another thread and write in image
// order. EncodeImageFile gives the file's bytes as the writer of `fileName`'s extension makes
// them; false when no writer matches or the writer refuses the image. Only the extension of
// `fileName` matters.
bool EncodeImageFile(const QString& fileName, const imaging::TDynImageDataArray& images,
                     std::vector<uint8_t>& bytes);
// The bytes EncodeImageFile gives for `bitmap` as a 24-bit record, made straight from the rows of
// a 32-bit bitmap for a name whose format row has the PNG fast path, without the record. The
// filtered rows go to *filtered (grown as needed and kept for the next image) or, when filtered
// is null, over the bitmap's own pixels, which are spoilt then. False, with nothing done, when
// this way does not apply (another extension or bitmap format, or options asking for another
// pixel format).
bool EncodeBitmapAsPng(const QString& fileName, QImage& bitmap, std::vector<uint8_t>* filtered,
                       std::vector<uint8_t>& bytes);
// Writes encoded bytes as a new file under `fileName` or, while that is taken, under the names
// `nextPath` gives (StoreError when there is none or it repeats itself).
void WriteEncodedFile(const QString& fileName, const std::vector<uint8_t>& bytes,
                      const NextPathFunction& nextPath = {}, QString* writtenPath = nullptr);

// Why StoreImageFile returned false for `fileName`, in words for the user: no writer for its
// extension, or the writer cannot write the image.
QString storeRefusalCause(const QString& fileName);

// The upper-cased extension by the rule of the writer choice: from the last "." after the last
// folder separator (or ":"), else empty.
QString upperExtension(const QString& fileName);

} // namespace qp
