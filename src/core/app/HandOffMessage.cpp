// SPDX-License-Identifier: MIT
#include "core/app/HandOffMessage.h"

#include <QDir>
#include <QFileInfo>
#include <QtEndian>

namespace qp {

std::optional<QString> handOffCommandLine(const QString& programPath, const QStringList& arguments,
                                          const QString& workingDir)
{
    if (arguments.isEmpty())
        return std::nullopt;
    QStringList parts{programPath};
    for (const QString& argument : arguments) {
        if (argument.isEmpty() || !QFileInfo(argument).isRelative())
            parts << argument;
        else
            parts << QDir::toNativeSeparators(QDir::cleanPath(QDir(workingDir).absoluteFilePath(argument)));
    }
    for (const QString& part : parts)
        if (part.contains(u'"'))
            return std::nullopt;
    return u'"' + parts.join(QStringLiteral("\" \"")) + u'"';
}

QStringList ParseQuotedArguments(const QString& commandLine)
{
    QStringList list;
    QString collected;
    bool inside = false;
    for (const QChar c : commandLine) {
        if (c == u'"') {
            if (inside)
                list << collected;
            collected.clear();
            inside = !inside;
        } else if (inside) {
            collected += c;
        }
    }
    return list;
}

QByteArray encodeHandOff(const HandOffMessage& message)
{
    const qsizetype units = message.commandLine.size();
    QByteArray out(8 + 2 * units, Qt::Uninitialized);
    qToLittleEndian<quint32>(message.processId, out.data());
    qToLittleEndian<quint32>(quint32(2 * units), out.data() + 4);
    qToLittleEndian<quint16>(message.commandLine.utf16(), units, out.data() + 8);
    return out;
}

HandOffDecode decodeHandOff(const QByteArray& data, HandOffMessage& message)
{
    if (data.size() < 8)
        return HandOffDecode::Incomplete;
    const quint32 bytes = qFromLittleEndian<quint32>(data.constData() + 4);
    if (bytes % 2 != 0 || bytes > kMaxHandOffBytes)
        return HandOffDecode::Invalid;
    if (quint64(data.size()) < 8 + quint64(bytes))
        return HandOffDecode::Incomplete;
    message.processId = qFromLittleEndian<quint32>(data.constData());
    QString line(qsizetype(bytes / 2), Qt::Uninitialized);
    qFromLittleEndian<quint16>(data.constData() + 8, bytes / 2, line.data());
    message.commandLine = line;
    return HandOffDecode::Complete;
}

} // namespace qp
