// SPDX-License-Identifier: MIT
#include "core/render/FontFaces.h"

#include "core/render/Renderer.h"
#include "core/settings/SettingsModel.h"

#include <QDir>
#include <QFontDatabase>
#include <QFontInfo>

namespace qp {

namespace {

const QString kDefaultFace = QStringLiteral("Tahoma");

} // namespace

QString compatibilityFontFolder()
{
    return QStringLiteral("/usr/share/wine/fonts");
}

bool addDefaultFaceWhenMissing(const QString& folder)
{
    if (QFontDatabase::families().contains(kDefaultFace, Qt::CaseInsensitive))
        return false;
    bool added = false;
    const QDir dir(folder);
    for (const QString& file : dir.entryList({QStringLiteral("tahoma*.ttf")}, QDir::Files, QDir::Name)) {
        const int id = QFontDatabase::addApplicationFont(dir.filePath(file));
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
