// SPDX-License-Identifier: MIT
#include "core/i18n/FormatNames.h"

#include "core/settings/SettingsModel.h"

#include <QHash>

namespace qp {

namespace {

const QString& separator()
{
    static const QString s = QStringLiteral(" - ");
    return s;
}

QString englishForm(const QString& germanName)
{
    return QString(germanName).replace(QStringLiteral("Bild"), QStringLiteral("Image"));
}

// German name -> English form and English form -> German name, over the names of the list.
struct NameTables {
    QHash<QString, QString> toEnglish;
    QHash<QString, QString> toGerman;
};

const NameTables& nameTables()
{
    static const NameTables tables = [] {
        NameTables t;
        for (const QString& entry : SettingsModel::outputFormats()) {
            const qsizetype at = entry.indexOf(separator());
            if (at < 0)
                continue;
            const QString name = entry.mid(at + separator().size());
            t.toEnglish.insert(name, englishForm(name));
            t.toGerman.insert(englishForm(name), name);
        }
        return t;
    }();
    return tables;
}

} // namespace

QString formatNameForLanguage(const QString& text, const QString& languageCode)
{
    const qsizetype at = text.indexOf(separator());
    if (at < 0)
        return text;
    const qsizetype nameStart = at + separator().size();
    const QString name = text.mid(nameStart);
    const NameTables& tables = nameTables();
    // A German name is already German; checking it first keeps "Image" inside a German name.
    const bool german = languageCode == QLatin1String("de");
    QString translated;
    if (german)
        translated = tables.toEnglish.contains(name) ? name : tables.toGerman.value(name, name);
    else
        translated = tables.toEnglish.value(name, name);
    return text.left(nameStart) + translated;
}

QStringList outputFormatsForLanguage(const QString& languageCode)
{
    QStringList result;
    for (const QString& entry : SettingsModel::outputFormats())
        result << formatNameForLanguage(entry, languageCode);
    return result;
}

namespace {

// The extension of an extension or format-box entry, in lower case without "*" and ".".
QString bareExtension(const QString& format)
{
    QString e = format.left(format.indexOf(QLatin1String(" - "))).toLower();
    e.remove(u'*');
    if (e.startsWith(u'.'))
        e.remove(0, 1);
    return e;
}

} // namespace

bool formatStoresTransparency(const QString& format)
{
    static const QStringList withAlpha = {
        u"png"_qs, u"gif"_qs, u"ico"_qs, u"cur"_qs, u"psd"_qs, u"pdd"_qs, u"tif"_qs, u"tiff"_qs, u"mng"_qs,
        u"jng"_qs, u"pam"_qs, u"jp2"_qs, u"j2k"_qs, u"j2c"_qs, u"jpx"_qs, u"jpc"_qs, u"dds"_qs, u"tga"_qs};
    return withAlpha.contains(bareExtension(format));
}

bool formatHasOneTransparentColour(const QString& format)
{
    return bareExtension(format) == u"gif";
}

QString formatShortName(const QString& formatText)
{
    const qsizetype at = formatText.indexOf(QLatin1String(" - "));
    QString name = at < 0 ? formatText : formatText.mid(at + 3).trimmed();
    for (const QLatin1String ending : {QLatin1String("-Image"), QLatin1String("-Bild")})
        if (name.endsWith(ending) && name.size() > ending.size())
            name.chop(ending.size());
    return name;
}

} // namespace qp
