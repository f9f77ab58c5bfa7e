#include "settings/IniFile.h"

#include "settings/IntegerTest.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>
#include <QStringDecoder>
#include <QStringEncoder>

namespace qp {

namespace {

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t';
}

QString trimBlanks(const QString& s)
{
    qsizetype b = 0;
    qsizetype e = s.size();
    while (b < e && isBlank(s[b]))
        ++b;
    while (e > b && isBlank(s[e - 1]))
        --e;
    return s.mid(b, e - b);
}

// The section name of a header line, or nothing for any other line.
std::optional<QString> sectionName(const QString& line)
{
    const QString t = trimBlanks(line);
    if (!t.startsWith(u'['))
        return std::nullopt;
    const qsizetype close = t.indexOf(u']');
    return trimBlanks(t.mid(1, close < 0 ? -1 : close - 1));
}

// The key of an entry line ("key=value"), or nothing for a line without "=".
std::optional<QString> keyName(const QString& line)
{
    const qsizetype eq = line.indexOf(u'=');
    if (eq < 0)
        return std::nullopt;
    return trimBlanks(line.left(eq));
}

bool sameName(const QString& a, const QString& b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// A new file is UTF-16 unless its extension is one of four image extensions.
IniFile::Encoding encodingForNewFile(const QString& path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == u"bmp" || suffix == u"gif" || suffix == u"jpg" || suffix == u"jpeg")
        return IniFile::Encoding::Utf8;
    return IniFile::Encoding::Utf16LE;
}

QString decode(const QByteArray& bytes, IniFile::Encoding& encoding)
{
    auto startsWith = [&](std::initializer_list<unsigned char> mark) {
        if (bytes.size() < qsizetype(mark.size()))
            return false;
        qsizetype i = 0;
        for (unsigned char m : mark)
            if (static_cast<unsigned char>(bytes[i++]) != m)
                return false;
        return true;
    };
    if (startsWith({0xFF, 0xFE})) {
        encoding = IniFile::Encoding::Utf16LE;
        return QStringDecoder(QStringConverter::Utf16LE)(bytes.mid(2));
    }
    if (startsWith({0xFE, 0xFF})) {
        encoding = IniFile::Encoding::Utf16BE;
        return QStringDecoder(QStringConverter::Utf16BE)(bytes.mid(2));
    }
    if (startsWith({0xEF, 0xBB, 0xBF})) {
        encoding = IniFile::Encoding::Utf8WithBom;
        return QStringDecoder(QStringConverter::Utf8)(bytes.mid(3));
    }
    // Without a byte-order mark: UTF-8 when the bytes are valid UTF-8, else one byte per character,
    // so that saving writes every foreign byte back unchanged.
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    const QString text = utf8(bytes);
    if (!utf8.hasError()) {
        encoding = IniFile::Encoding::Utf8;
        return text;
    }
    encoding = IniFile::Encoding::Latin1;
    return QString::fromLatin1(bytes);
}

} // namespace

IniFile::IniFile(const QString& path) : m_path(path)
{
    QFile file(path);
    if (!file.exists()) {
        m_encoding = encodingForNewFile(path);
        return;
    }
    // An existing file that cannot be read counts as empty; it is never written over, since its
    // content would be lost.
    m_encoding = Encoding::Utf8;
    if (!file.open(QIODevice::ReadOnly)) {
        m_unreadable = true;
        return;
    }
    const QString text = decode(file.readAll(), m_encoding);
    m_lines = text.split(QRegularExpression(QStringLiteral("\r\n|\n|\r")));
    // The line break at the end of the last line does not start another line.
    if (!m_lines.isEmpty() && m_lines.last().isEmpty())
        m_lines.removeLast();
}

IniFile::Location IniFile::locate(const QString& section, const QString& key) const
{
    Location loc;
    for (qsizetype i = 0; i < m_lines.size(); ++i) {
        if (const auto name = sectionName(m_lines[i])) {
            if (loc.sectionLine >= 0)
                break; // only the first matching section counts
            if (sameName(*name, section))
                loc.sectionLine = i;
            continue;
        }
        if (loc.sectionLine < 0)
            continue;
        if (const auto k = keyName(m_lines[i]); k && sameName(*k, key)) {
            loc.keyLine = i;
            break;
        }
    }
    return loc;
}

std::optional<QString> IniFile::rawValue(const QString& section, const QString& key) const
{
    const Location loc = locate(section, key);
    if (loc.keyLine < 0)
        return std::nullopt;
    const QString& line = m_lines[loc.keyLine];
    return line.mid(line.indexOf(u'=') + 1);
}

QString IniFile::ReadText(const QString& section, const QString& key,
                          const QString& defaultValue) const
{
    const auto raw = rawValue(section, key);
    if (!raw)
        return defaultValue;
    QString value = trimBlanks(*raw);
    if (value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'') &&
        value.back() == value.front())
        value = value.mid(1, value.size() - 2);
    value.truncate(MaxValueLength);
    return value;
}

QString IniFile::quoteOuterBlanks(const QString& text)
{
    qsizetype b = 0;
    qsizetype e = text.size();
    while (b < e && text[b].unicode() <= 32)
        ++b;
    while (e > b && text[e - 1].unicode() <= 32)
        --e;
    if (b == 0 && e == text.size())
        return text;
    return QLatin1Char('"') + text + QLatin1Char('"');
}

void IniFile::WriteText(const QString& section, const QString& key, const QString& value)
{
    QString oneLine = value;
    oneLine.replace(u'\r', u' ').replace(u'\n', u' ');
    const QString entry = key + QLatin1Char('=') + quoteOuterBlanks(oneLine);
    m_dirty = true;

    const Location loc = locate(section, key);
    if (loc.sectionLine < 0) {
        m_lines << (QLatin1Char('[') + section + QLatin1Char(']')) << entry;
        return;
    }
    if (loc.keyLine >= 0) {
        m_lines[loc.keyLine] = entry;
        return;
    }
    // After the last non-blank line of the section.
    qsizetype last = loc.sectionLine;
    for (qsizetype i = loc.sectionLine + 1; i < m_lines.size(); ++i) {
        if (sectionName(m_lines[i]))
            break;
        if (!trimBlanks(m_lines[i]).isEmpty())
            last = i;
    }
    m_lines.insert(last + 1, entry);
}

std::optional<qint32> IniFile::readNumber(const QString& section, const QString& key) const
{
    QString text = ReadText(section, key, QString());
    if (text.size() > 2 && (text.startsWith(QLatin1String("0x")) || text.startsWith(QLatin1String("0X"))))
        text.replace(0, 2, QStringLiteral("$"));
    return toInteger(text);
}

std::optional<bool> IniFile::readFlag(const QString& section, const QString& key) const
{
    if (const auto v = readNumber(section, key))
        return *v != 0;
    return std::nullopt;
}

qint32 IniFile::ReadNumber(const QString& section, const QString& key, qint32 defaultValue) const
{
    return readNumber(section, key).value_or(defaultValue);
}

void IniFile::WriteNumber(const QString& section, const QString& key, qint32 value)
{
    WriteText(section, key, QString::number(value));
}

bool IniFile::ReadFlag(const QString& section, const QString& key, bool defaultValue) const
{
    return readFlag(section, key).value_or(defaultValue);
}

void IniFile::WriteFlag(const QString& section, const QString& key, bool value)
{
    WriteText(section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}

QByteArray IniFile::toBytes() const
{
    QString text;
    for (const QString& line : m_lines)
        text += line + QLatin1String("\r\n");
    switch (m_encoding) {
    case Encoding::Utf16LE:
        return QByteArray("\xFF\xFE", 2) + QStringEncoder(QStringConverter::Utf16LE)(text);
    case Encoding::Utf16BE:
        return QByteArray("\xFE\xFF", 2) + QStringEncoder(QStringConverter::Utf16BE)(text);
    case Encoding::Utf8WithBom:
        return QByteArray("\xEF\xBB\xBF", 3) + text.toUtf8();
    case Encoding::Utf8:
        return text.toUtf8();
    case Encoding::Latin1:
        return text.toLatin1();
    }
    return {};
}

void IniFile::Flush()
{
    if (!m_dirty)
        return;
    const QString shown = QDir::toNativeSeparators(m_path);
    const bool existed = QFileInfo::exists(m_path);
    // The new content goes to a temporary file beside the old one and replaces it only when it is
    // complete: a failure at any point leaves the previous file untouched.
    if (m_unreadable)
        throw IniFileError(QStringLiteral("Unable to write to %1").arg(shown));
    QSaveFile file(m_path);
    if (!file.open(QIODevice::WriteOnly)) {
        if (existed)
            throw IniFileError(QStringLiteral("Unable to write to %1").arg(shown));
        throw IniFileError(
            QStringLiteral("Cannot create file \"%1\". %2").arg(shown, file.errorString()));
    }
    const QByteArray bytes = toBytes();
    if (file.write(bytes) != bytes.size() || !file.commit())
        throw IniFileError(QStringLiteral("Unable to write to %1").arg(shown));
    m_dirty = false;
}

} // namespace qp
