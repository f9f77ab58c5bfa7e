// SPDX-License-Identifier: MIT
#include "support/Decode.h"

#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <cstdlib>
#include <cstring>

namespace qp::test {

namespace {
// Debian's ImageMagick; a `convert` earlier on the PATH may be something else.
QString convertTool()
{
    if (QFileInfo::exists(QStringLiteral("/usr/bin/convert")))
        return QStringLiteral("/usr/bin/convert");
    return QStandardPaths::findExecutable(QStringLiteral("convert"));
}
} // namespace

bool haveImageMagick()
{
    return !convertTool().isEmpty();
}

std::optional<QImage> decodeWithImageMagick(const QString& path, bool withAlpha)
{
    QProcess identify;
    identify.start(convertTool(),
                   {path + QStringLiteral("[0]"), QStringLiteral("-format"), QStringLiteral("%w %h"),
                    QStringLiteral("info:")});
    if (!identify.waitForFinished(60000) || identify.exitCode() != 0)
        return std::nullopt;
    const QStringList wh = QString::fromLatin1(identify.readAllStandardOutput()).split(QLatin1Char(' '));
    if (wh.size() != 2)
        return std::nullopt;
    const int w = wh[0].toInt();
    const int h = wh[1].toInt();

    QProcess convert;
    convert.start(convertTool(),
                  {path + QStringLiteral("[0]"), QStringLiteral("-depth"), QStringLiteral("8"),
                   withAlpha ? QStringLiteral("rgba:-") : QStringLiteral("rgb:-")});
    if (!convert.waitForFinished(60000) || convert.exitCode() != 0)
        return std::nullopt;
    const QByteArray raw = convert.readAllStandardOutput();
    const int bytes = withAlpha ? 4 : 3;
    if (w <= 0 || h <= 0 || raw.size() != qsizetype(w) * h * bytes)
        return std::nullopt;
    QImage image(w, h, withAlpha ? QImage::Format_RGBA8888 : QImage::Format_RGB888);
    for (int y = 0; y < h; ++y)
        memcpy(image.scanLine(y), raw.constData() + qsizetype(y) * w * bytes, size_t(w) * bytes);
    return image;
}

PixelDifference compareRgb(const QImage& a, const QImage& b)
{
    PixelDifference d;
    if (a.size() != b.size())
        return {255, 255.0};
    const QImage x = a.convertToFormat(QImage::Format_RGB888);
    const QImage y = b.convertToFormat(QImage::Format_RGB888);
    qint64 sum = 0;
    for (int row = 0; row < x.height(); ++row) {
        const uchar* p = x.constScanLine(row);
        const uchar* q = y.constScanLine(row);
        for (int i = 0; i < x.width() * 3; ++i) {
            const int diff = std::abs(int(p[i]) - int(q[i]));
            d.maximum = std::max(d.maximum, diff);
            sum += diff;
        }
    }
    d.mean = x.isNull() ? 0.0 : double(sum) / (double(x.width()) * x.height() * 3);
    return d;
}

} // namespace qp::test
