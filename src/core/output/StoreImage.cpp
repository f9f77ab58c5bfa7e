#include "output/StoreImage.h"

#include "codec/FormatRegistry.h"
#include "output/SafeFileWriter.h"

#include <QDir>

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

bool StoreImageFile(const QString& fileName, const imaging::TImageData& image,
                    const NextPathFunction& nextPath, QString* writtenPath)
{
    return StoreImageFile(fileName, imaging::TDynImageDataArray{image}, nextPath, writtenPath);
}

bool StoreImageFile(const QString& fileName, const imaging::TDynImageDataArray& images,
                    const NextPathFunction& nextPath, QString* writtenPath)
{
    if (fileName.isEmpty())
        throw StoreError("No file name given");
    const QString ext = upperExtension(fileName);
    if (ext == QLatin1String(".ICO") || ext == QLatin1String(".CUR"))
        throw StoreError("Icon and cursor files cannot be written yet");

    imaging::TImageFileFormat* writer =
        imaging::FindWriterForFileName(QDir::toNativeSeparators(fileName).toStdString());
    if (!writer)
        return false;
    std::vector<uint8_t> bytes;
    if (!writer->WriteImageToMemory(images, bytes, true))
        return false;

    QString path = fileName;
    // Each retry takes a name the numbering has not seen yet, so a handful always suffices unless
    // something keeps creating files under our feet.
    for (int attempt = 0; attempt < 1000; ++attempt) {
        if (writeNewFile(path, bytes) == WriteOutcome::Written) {
            if (writtenPath)
                *writtenPath = path;
            return true;
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

} // namespace qp
