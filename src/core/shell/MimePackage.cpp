// SPDX-License-Identifier: MIT
#include "core/shell/MimePackage.h"

#include <QFile>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

namespace qp {

namespace {

const QString kSharedMimeNamespace = QStringLiteral("http://www.freedesktop.org/standards/shared-mime-info");

} // namespace

MimePackage readPackage(const QString& path)
{
    MimePackage types;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return types;
    QXmlStreamReader xml(&file);
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == QLatin1String("mime-type"))
            types.append({xml.attributes().value(QLatin1String("type")).toString(), {}});
        else if (xml.name() == QLatin1String("glob") && !types.isEmpty())
            types.last().second << xml.attributes().value(QLatin1String("pattern")).toString();
    }
    return types;
}

QByteArray packageText(const MimePackage& types, const QString& comment)
{
    QByteArray bytes;
    QXmlStreamWriter xml(&bytes);
    xml.setAutoFormatting(true);
    xml.writeStartDocument();
    xml.writeDefaultNamespace(kSharedMimeNamespace);
    xml.writeStartElement(kSharedMimeNamespace, QStringLiteral("mime-info"));
    for (const auto& [type, globs] : types) {
        xml.writeStartElement(kSharedMimeNamespace, QStringLiteral("mime-type"));
        xml.writeAttribute(QStringLiteral("type"), type);
        if (!comment.isEmpty())
            xml.writeTextElement(kSharedMimeNamespace, QStringLiteral("comment"), comment);
        for (const QString& glob : globs) {
            xml.writeEmptyElement(kSharedMimeNamespace, QStringLiteral("glob"));
            xml.writeAttribute(QStringLiteral("pattern"), glob);
        }
        xml.writeEndElement();
    }
    xml.writeEndElement();
    xml.writeEndDocument();
    return bytes;
}

QString mimeNamePart(const QString& extension)
{
    QString part;
    for (QChar c : extension.mid(1).toLower()) {
        const char16_t u = c.unicode();
        if ((u >= 'a' && u <= 'z') || (u >= '0' && u <= '9') || u == '-' || u == '+' || u == '.')
            part += c;
        else
            part += QStringLiteral("_%1").arg(uint(u), 2, 16, QLatin1Char('0'));
    }
    return part;
}

} // namespace qp
