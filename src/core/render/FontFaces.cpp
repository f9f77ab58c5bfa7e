// SPDX-License-Identifier: MIT
#include "core/render/FontFaces.h"

#include "core/render/Renderer.h"
#include "core/settings/SettingsModel.h"

#include <QDir>
#include <QFontDatabase>
#include <QFontInfo>
#include <QImage>
#include <QRawFont>
#include <vector>

namespace qp {

namespace {

const QString kDefaultFace = QStringLiteral("Tahoma");

// Coverage of a sample word drawn with a font at the size it was loaded at, in fully covered pixels.
double sampleInk(const QRawFont& font)
{
    double coverage = 0;
    for (const quint32 glyph : font.glyphIndexesForString(QStringLiteral("Quillpress"))) {
        const QImage map = font.alphaMapForGlyph(glyph, QRawFont::PixelAntialiasing);
        if (map.depth() != 8)
            continue;
        for (int y = 0; y < map.height(); ++y) {
            const uchar* row = map.constScanLine(y);
            for (int x = 0; x < map.width(); ++x)
                coverage += row[x];
        }
    }
    return coverage / 255;
}

// A heavier style of a face must draw heavier than its regular style. Debian's compatibility
// Tahoma Bold does not: it holds the regular outlines with the bold advances, so bold text came
// out as regular glyphs spread apart. Left out, the text engine emboldens the regular face.
bool drawsHeavier(const QRawFont& heavier, const QRawFont& regular)
{
    constexpr double kLeastGain = 1.1; // real bold styles add half to three quarters
    return sampleInk(heavier) >= kLeastGain * sampleInk(regular);
}

} // namespace

QString compatibilityFontFolder()
{
    return QStringLiteral("/usr/share/wine/fonts");
}

bool addDefaultFaceWhenMissing(const QString& folder)
{
    if (QFontDatabase::families().contains(kDefaultFace, Qt::CaseInsensitive))
        return false;
    constexpr qreal kProbePixels = 64;
    struct File {
        QString path;
        QRawFont font;
    };
    std::vector<File> files;
    const QDir dir(folder);
    for (const QString& name : dir.entryList({QStringLiteral("tahoma*.ttf")}, QDir::Files, QDir::Name)) {
        File file{dir.filePath(name), QRawFont(dir.filePath(name), kProbePixels)};
        if (file.font.isValid() && file.font.familyName().compare(kDefaultFace, Qt::CaseInsensitive) == 0)
            files.push_back(std::move(file));
    }
    // The regular style is the lightest upright one.
    const File* regular = nullptr;
    for (const File& file : files)
        if (file.font.style() == QFont::StyleNormal && (!regular || file.font.weight() < regular->font.weight()))
            regular = &file;

    bool added = false;
    for (const File& file : files) {
        if (regular && file.font.weight() > regular->font.weight() && !drawsHeavier(file.font, regular->font))
            continue;
        const int id = QFontDatabase::addApplicationFont(file.path);
        if (id >= 0 && QFontDatabase::applicationFontFamilies(id).contains(kDefaultFace, Qt::CaseInsensitive))
            added = true;
        else if (id >= 0)
            QFontDatabase::removeApplicationFont(id); // not the face it was taken for
    }
    return added;
}

QString installedFamily(const QString& name)
{
    if (name.isEmpty())
        return {};
    const QStringList families = QFontDatabase::families();
    if (families.contains(name))
        return name;
    const QString withFoundry = name + QStringLiteral(" [");
    for (const QString& family : families)
        if (family.startsWith(withFoundry) && family.endsWith(u']'))
            return family;
    return {};
}

QString substituteFace(const SettingsModel& settings)
{
    const QString configured = settings.text(Setting::label2);
    if (configured.isEmpty() || !installedFamily(configured).isEmpty())
        return {};
    return QFontInfo(drawingFace(settings)).family();
}

QString missingFaceNote(const QString& configured, const QString& drawn, const QString& languageCode)
{
    if (languageCode == QLatin1String("de"))
        return QStringLiteral("%1 ist nicht installiert: gezeichnet in %2").arg(configured, drawn);
    return QStringLiteral("%1 is not installed: drawn in %2").arg(configured, drawn);
}

} // namespace qp
