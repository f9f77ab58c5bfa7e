// SPDX-License-Identifier: MIT
#include "core/output/StoreImage.h"

#include "codec/FormatRegistry.h"
#include "codec/formats/png/NetworkGraphicsFileFormat.h"
#include "core/i18n/Language.h"
#include "core/output/SafeFileWriter.h"

#include <QDir>

#include <functional>

#ifdef __linux__
#include <sys/mman.h>
#include <unistd.h>
#endif

namespace qp {

QString upperExtension(const QString& fileName)
{
    qsizetype folderEnd = std::max(fileName.lastIndexOf(QLatin1Char('/')),
                                   fileName.lastIndexOf(QLatin1Char(':')));
    folderEnd = std::max(folderEnd, fileName.lastIndexOf(QLatin1Char('\\')));
    const qsizetype dot = fileName.lastIndexOf(QLatin1Char('.'));
    if (dot <= folderEnd)
        return {};
    return fileName.mid(dot).toUpper();
}

QString storeRefusalCause(const QString& fileName)
{
    if (!imaging::FindWriterForFileName(QDir::toNativeSeparators(fileName).toStdString())) {
        const QString ext = upperExtension(fileName);
        return ext.isEmpty()
                   ? tr2(QStringLiteral("Der Dateiname hat keine Endung, die ein Bildformat nennt."),
                         QStringLiteral("The file name has no extension that names an image format."))
                   : tr2(QStringLiteral("Unter der Endung \"%1\" wird kein Bildformat geschrieben."),
                         QStringLiteral("No image format is written under the extension \"%1\"."))
                         .arg(ext.toLower());
    }
    return tr2(QStringLiteral("Dieses Bild kann in diesem Format nicht geschrieben werden."),
               QStringLiteral("The image format cannot be written from this image."));
}

namespace {

// Writes the bytes as a new file, asking for the next name while the one tried is taken.
void writeUnderFreeName(const QString& fileName, const std::vector<uint8_t>& bytes,
                        const NextPathFunction& nextPath, QString* writtenPath)
{
    QString path = fileName;
    // Each retry takes a name the numbering has not seen yet, so a handful always suffices unless
    // something keeps creating files under our feet.
    for (int attempt = 0; attempt < 1000; ++attempt) {
        if (writeNewFile(path, bytes) == WriteOutcome::Written) {
            if (writtenPath)
                *writtenPath = path;
            return;
        }
        if (!nextPath)
            break;
        const QString next = nextPath();
        if (next == path)
            break;
        path = next;
    }
    throw StoreError(QStringLiteral("The file \"%1\" already exists")
                         .arg(QDir::toNativeSeparators(path))
                         .toStdString());
}

} // namespace

bool StoreImageFile(const QString& fileName, const imaging::TImageData& image,
                    const NextPathFunction& nextPath, QString* writtenPath)
{
    return StoreImageFile(fileName, imaging::TDynImageDataArray{image}, nextPath, writtenPath);
}

bool EncodeImageFile(const QString& fileName, const imaging::TDynImageDataArray& images,
                     std::vector<uint8_t>& bytes)
{
    imaging::TImageFileFormat* writer =
        imaging::FindWriterForFileName(QDir::toNativeSeparators(fileName).toStdString());
    if (!writer)
        return false;
    bytes.clear();
    return writer->WriteImageToMemory(images, bytes, true);
}

namespace {

// Gives the whole pages between begin and end back to the system; they read as zero afterwards.
// Only worth it for large blocks, which have pages of their own.
void releasePages(uint8_t* begin, uint8_t* end)
{
#ifdef __linux__
    const auto page = static_cast<uintptr_t>(sysconf(_SC_PAGESIZE));
    const uintptr_t from = (reinterpret_cast<uintptr_t>(begin) + page - 1) / page * page;
    const uintptr_t to = reinterpret_cast<uintptr_t>(end) / page * page;
    if (to > from && to - from >= (uintptr_t(1) << 20))
        madvise(reinterpret_cast<void*>(from), to - from, MADV_DONTNEED);
#else
    (void)begin;
    (void)end;
#endif
}

} // namespace

bool EncodeBitmapAsPng(const QString& fileName, QImage& bitmap, std::vector<uint8_t>* filtered,
                       std::vector<uint8_t>& bytes)
{
    if (bitmap.isNull() || (bitmap.format() != QImage::Format_RGB32 && bitmap.format() != QImage::Format_ARGB32))
        return false;
    const std::string name = QDir::toNativeSeparators(fileName).toStdString();
    const imaging::TFormatRow* row = imaging::FindFormatRowForFileName(name);
    if (!row || !row->PngFastPath)
        return false;
    // The row's column says that its writer is the PNG writer.
    auto* writer = static_cast<imaging::TPNGFileFormat*>(imaging::FindWriterForFileName(name));
    const size_t filteredBytes =
        (3 * static_cast<size_t>(bitmap.width()) + 1) * static_cast<size_t>(bitmap.height());
    uint8_t* target = nullptr;
    std::function<void()> rowsFiltered;
    if (filtered) {
        if (filtered->size() < filteredBytes)
            filtered->resize(filteredBytes);
        target = filtered->data();
    } else {
        target = bitmap.bits(); // a bitmap shared with another is copied here first
        // The filtered rows take three quarters of the pixels' memory; the rest goes back to the
        // system before the compressor needs memory of its own.
        rowsFiltered = [&] { releasePages(target + filteredBytes, target + bitmap.sizeInBytes()); };
    }
    bytes.clear();
    return writer->EncodeBgrx32(bitmap.constBits(), static_cast<size_t>(bitmap.bytesPerLine()), bitmap.width(),
                                bitmap.height(), target, bytes, rowsFiltered);
}

void WriteEncodedFile(const QString& fileName, const std::vector<uint8_t>& bytes,
                      const NextPathFunction& nextPath, QString* writtenPath)
{
    if (fileName.isEmpty())
        throw StoreError("No file name given");
    writeUnderFreeName(fileName, bytes, nextPath, writtenPath);
}

bool StoreImageFile(const QString& fileName, const imaging::TDynImageDataArray& images,
                    const NextPathFunction& nextPath, QString* writtenPath)
{
    if (fileName.isEmpty())
        throw StoreError("No file name given");
    // The name is used as it is, in full Unicode.
    std::vector<uint8_t> bytes;
    if (!EncodeImageFile(fileName, images, bytes))
        return false;
    writeUnderFreeName(fileName, bytes, nextPath, writtenPath);
    return true;
}

} // namespace qp
