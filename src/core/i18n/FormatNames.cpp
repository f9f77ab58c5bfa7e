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

} // namespace qp
