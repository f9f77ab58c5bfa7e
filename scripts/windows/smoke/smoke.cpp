// SPDX-License-Identifier: MIT
// Starts a Widgets application on the platform that QT_QPA_PLATFORM names, draws a label and
// paints text into an image: enough to see the static libraries, the plugins and the font
// machinery work together. Prints "smoke: ok" on success.
#include <QApplication>
#include <QFontDatabase>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <cstdio>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    std::printf("platform %s, Qt %s\n", qPrintable(QApplication::platformName()), qVersion());
    const auto families = QFontDatabase::families().size();
    std::printf("font families %lld\n", static_cast<long long>(families));

    QLabel label(QStringLiteral("Quillpress"));
    label.resize(160, 40);
    label.show();
    const QImage grabbed = label.grab().toImage();

    QImage image(200, 60, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        painter.setPen(Qt::black);
        painter.drawRect(0, 0, 199, 59);
        painter.drawText(image.rect(), Qt::AlignCenter, QStringLiteral("Quillpress"));
    }
    // Inside the frame only the text can be dark.
    int dark = 0;
    for (int y = 4; y < image.height() - 4; ++y)
        for (int x = 4; x < image.width() - 4; ++x)
            dark += qGray(image.pixel(x, y)) < 128;
    std::printf("label grab %dx%d, dark pixels of the text %d\n", grabbed.width(), grabbed.height(),
                dark);

    const bool ok = QApplication::platformName() == QLatin1String("offscreen")
        && families > 0 && dark > 0 && grabbed.width() == 160 && grabbed.height() == 40;
    std::printf("smoke: %s\n", ok ? "ok" : "FAILED");
    std::fflush(stdout);
    return ok ? 0 : 1;
}
