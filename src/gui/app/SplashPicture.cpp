// SPDX-License-Identifier: MIT
#include "gui/app/SplashPicture.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

namespace qp {

namespace {

const QColor kInk(15, 63, 111);
const QColor kPaper(250, 246, 236);
const QColor kGold(222, 178, 92);

// A quill lying from the lower left to the upper right, its nib at `nib`.
void drawQuill(QPainter& p, QPointF nib)
{
    p.save();
    p.translate(nib);
    p.rotate(-128);

    // Vane: two curved edges meeting at the tip, slightly asymmetric like a real feather.
    QPainterPath vane;
    vane.moveTo(18, 0);
    vane.cubicTo(40, -17, 95, -23, 150, -8);
    vane.cubicTo(128, -2, 118, 3, 150, 2);
    vane.cubicTo(100, 16, 45, 14, 18, 0);
    QLinearGradient vaneFill(0, -20, 0, 16);
    vaneFill.setColorAt(0, QColor(255, 255, 255));
    vaneFill.setColorAt(1, QColor(214, 224, 236));
    p.setPen(QPen(QColor(255, 255, 255, 180), 1));
    p.setBrush(vaneFill);
    p.drawPath(vane);

    // Barbs.
    p.setPen(QPen(QColor(160, 180, 205), 0.8));
    for (int x = 34; x < 140; x += 9) {
        p.drawLine(QPointF(x, 0), QPointF(x + 12, -11 + (x > 110 ? (x - 110) / 3.0 : 0)));
        p.drawLine(QPointF(x, 0), QPointF(x + 10, 9 - (x > 110 ? (x - 110) / 4.0 : 0)));
    }

    // Shaft and nib.
    p.setPen(QPen(kGold, 2.2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(6, 0), QPointF(152, -2));
    QPainterPath nibPath;
    nibPath.moveTo(0, 0);
    nibPath.lineTo(9, -2.6);
    nibPath.lineTo(9, 2.6);
    nibPath.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(40, 40, 48));
    p.drawPath(nibPath);
    p.restore();
}

} // namespace

QImage splashPicture(bool german)
{
    QImage image(kSplashWidth, kSplashHeight, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);

    // Background: night blue with a soft light behind the title.
    QLinearGradient sky(0, 0, 0, kSplashHeight);
    sky.setColorAt(0, QColor(24, 84, 140));
    sky.setColorAt(1, kInk);
    p.fillRect(image.rect(), sky);
    QRadialGradient glow(QPointF(250, 80), 190);
    glow.setColorAt(0, QColor(255, 255, 255, 46));
    glow.setColorAt(1, QColor(255, 255, 255, 0));
    p.fillRect(image.rect(), glow);

    // A sheet of paper with a line of writing, the quill above it.
    const QRectF sheet(26, 118, 150, 92);
    p.save();
    p.translate(sheet.center());
    p.rotate(-4);
    p.translate(-sheet.center());
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 60));
    p.drawRoundedRect(sheet.translated(3, 4), 3, 3);
    p.setBrush(kPaper);
    p.drawRoundedRect(sheet, 3, 3);
    QFont script(QStringLiteral("DejaVu Serif"));
    script.setPixelSize(25);
    script.setItalic(true);
    p.setFont(script);
    p.setPen(kInk);
    p.drawText(sheet.adjusted(10, 8, -6, -40), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Aa"));
    p.setPen(QPen(QColor(15, 63, 111, 110), 1.6, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(sheet.left() + 12, sheet.top() + 60), QPointF(sheet.right() - 26, sheet.top() + 60));
    p.drawLine(QPointF(sheet.left() + 12, sheet.top() + 72), QPointF(sheet.right() - 56, sheet.top() + 72));
    p.restore();
    drawQuill(p, QPointF(150, 186));

    // Title and tagline.
    QFont title(QStringLiteral("DejaVu Serif"));
    title.setPixelSize(40);
    title.setBold(true);
    p.setFont(title);
    p.setPen(QColor(255, 255, 255));
    p.drawText(QRectF(150, 28, 222, 52), Qt::AlignRight | Qt::AlignVCenter, QStringLiteral("Quillpress"));

    QFont tag(QStringLiteral("DejaVu Sans"));
    tag.setPixelSize(15);
    p.setFont(tag);
    p.setPen(kGold);
    const QString tagline = german ? QStringLiteral("Aus Text werden Bilder") : QStringLiteral("Text into images");
    p.drawText(QRectF(150, 80, 222, 22), Qt::AlignRight | Qt::AlignVCenter, tagline);

    p.setPen(QPen(QColor(255, 255, 255, 90), 1));
    p.drawLine(QPointF(212, 110), QPointF(372, 110));

    QFont small(QStringLiteral("DejaVu Sans"));
    small.setPixelSize(12);
    p.setFont(small);
    p.setPen(QColor(220, 230, 242));
    const QString lines = german
        ? QStringLiteral("Schrift, Farben, Ränder wählen\nund als Bilddatei speichern")
        : QStringLiteral("Pick font, colours and margins\nand save image files");
    p.drawText(QRectF(182, 118, 190, 40), Qt::AlignRight | Qt::AlignTop, lines);

    small.setPixelSize(11);
    p.setFont(small);
    p.setPen(QColor(170, 192, 218));
    p.drawText(QRectF(170, 200, 202, 16), Qt::AlignRight | Qt::AlignVCenter,
               german ? QStringLiteral("Klicken zum Fortfahren") : QStringLiteral("Click to continue"));
    p.drawText(QRectF(170, 184, 202, 16), Qt::AlignRight | Qt::AlignVCenter, QStringLiteral("Velmora"));

    // Thin border.
    p.setPen(QPen(QColor(255, 255, 255, 70), 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(0.5, 0.5, kSplashWidth - 1, kSplashHeight - 1));
    return image;
}

} // namespace qp
