// SPDX-License-Identifier: MIT
#include "support/Decode.h"

#include "support/codec/ExternalDecoders.h"

#include <cstdlib>

namespace qp::test {

bool haveImageMagick()
{
    return codectest::HaveImageMagick();
}

std::optional<QImage> decodeWithImageMagick(const QString& path, bool withAlpha)
{
    const int channels = withAlpha ? 4 : 3;
    const auto decoded = codectest::DecodeWithImageMagick(path.toStdString(), channels);
    if (!decoded || decoded->Width <= 0 || decoded->Height <= 0)
        return std::nullopt;
    QImage image(decoded->Width, decoded->Height, withAlpha ? QImage::Format_RGBA8888 : QImage::Format_RGB888);
    const uint16_t* sample = decoded->Samples.data();
    for (int y = 0; y < decoded->Height; ++y) {
        uchar* line = image.scanLine(y);
        for (int i = 0; i < decoded->Width * channels; ++i)
            line[i] = static_cast<uchar>(*sample++);
    }
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
