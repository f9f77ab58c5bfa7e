// SPDX-License-Identifier: MIT
#include "core/i18n/FormatNames.h"

#include "codec/FormatRow.h"

#include <QHash>

namespace qp {

namespace {

// The German name of every name key of the format rows. The English form reads "Image" for every
// "Bild".
struct KeyedName {
    const char* key;
    const char* german;   // UTF-8
};
constexpr KeyedName kNames[] = {
    {"jpeg", "JPEG-Bild"},
    {"png", "Portable Network Graphics"},
    {"gif", "Graphics Interchange Format"},
    {"bmp", "Windows Bitmap"},
    {"ico", "Windows Icon"},
    {"cur", "Windows Cursor"},
    {"psd", "Photoshop Bild"},
    {"tiff", "Tagged Image File Format"},
    {"mng", "Multiple Network Graphics"},
    {"jng", "JPEG Network Graphics\u00B4"},
    {"pgm", "Portable Gray Map"},
    {"ppm", "Portable Pixel Map"},
    {"pam", "Portable Arbitrary Map"},
    {"pfm", "Portable Float Map"},
    {"jpeg2000", "JPEG 2000"},
    {"dds", "DirectDraw Surface"},
    {"targa", "Truevision Targa Bild"},
};

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
        for (const KeyedName& n : kNames) {
            const QString name = QString::fromUtf8(n.german);
            t.toEnglish.insert(name, englishForm(name));
            t.toGerman.insert(englishForm(name), name);
        }
        return t;
    }();
    return tables;
}

} // namespace

QString formatName(const char* nameKey, const QString& languageCode)
{
    for (const KeyedName& n : kNames)
        if (qstrcmp(n.key, nameKey) == 0) {
            const QString german = QString::fromUtf8(n.german);
            return languageCode == QLatin1String("de") ? german : englishForm(german);
        }
    return {};
}

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
    for (const imaging::TFormatListEntry& entry : imaging::FormatListEntries())
        result << QStringLiteral("*.") + QLatin1String(entry.Extension) + separator()
                      + formatName(entry.Row->NameKey, languageCode);
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

namespace {

const imaging::TFormatRow* rowOf(const QString& format)
{
    return imaging::FindFormatRowByExtension(bareExtension(format).toStdString());
}

} // namespace

bool formatStoresTransparency(const QString& format)
{
    const imaging::TFormatRow* row = rowOf(format);
    return row && row->Transparency != imaging::TFormatTransparency::None;
}

bool formatHasOneTransparentColour(const QString& format)
{
    const imaging::TFormatRow* row = rowOf(format);
    return row && row->Transparency == imaging::TFormatTransparency::OneColour;
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
