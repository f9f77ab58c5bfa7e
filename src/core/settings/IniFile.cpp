// SPDX-License-Identifier: MIT
#include "core/settings/IniFile.h"

#include "core/app/BoundedRead.h"
#include "core/app/TextLines.h"
#include "core/output/SafeFileWriter.h"
#include "core/settings/IntegerTest.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>
#include <QStringEncoder>

#include <algorithm>

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

// Replaces every half of a surrogate pair that lacks its other half by U+FFFD.
void replaceLoneSurrogates(QString& text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            ++i; // a whole pair
        else if (c.isSurrogate())
            text[i] = QChar::ReplacementCharacter;
    }
}

// UTF-16 without byte-order mark, as some editors write it: at the start of the file nearly every
// high byte of a character is zero (the ASCII names and blanks of an INI file) and hardly any low
// byte is. Single-byte and UTF-8 text holds no zero bytes at all.
std::optional<IniFile::Encoding> unmarkedUtf16(const QByteArray& bytes)
{
    constexpr qsizetype sampleSize = 512;
    const qsizetype pairs = std::min(bytes.size(), sampleSize) / 2;
    qsizetype zeroFirst = 0;
    qsizetype zeroSecond = 0;
    for (qsizetype i = 0; i < pairs; ++i) {
        zeroFirst += bytes[2 * i] == 0 ? 1 : 0;
        zeroSecond += bytes[2 * i + 1] == 0 ? 1 : 0;
    }
    const auto mostly = [pairs](qsizetype n) { return n * 4 >= pairs * 3; };
    const auto rarely = [pairs](qsizetype n) { return n * 4 < pairs; };
    if (pairs > 0 && mostly(zeroSecond) && rarely(zeroFirst))
        return IniFile::Encoding::Utf16LEWithoutBom;
    if (pairs > 0 && mostly(zeroFirst) && rarely(zeroSecond))
        return IniFile::Encoding::Utf16BEWithoutBom;
    return std::nullopt;
}

// UTF-8 in which a surrogate is encoded on its own (ED A0..BF 80..BF, which UTF-8 does not allow)
// gets U+FFFD there, of the same length, so that the rest of the file still reads as UTF-8.
QByteArray withEncodedSurrogatesReplaced(QByteArray bytes)
{
    for (qsizetype i = 0; i + 2 < bytes.size(); ++i) {
        const auto b = [&](qsizetype k) { return static_cast<unsigned char>(bytes[k]); };
        if (b(i) == 0xED && b(i + 1) >= 0xA0 && b(i + 1) <= 0xBF && (b(i + 2) & 0xC0) == 0x80) {
            bytes[i] = char(0xEF);
            bytes[i + 1] = char(0xBF);
            bytes[i + 2] = char(0xBD);
            i += 2;
        }
    }
    return bytes;
}

std::optional<QString> decodeUtf8(const QByteArray& bytes)
{
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    QString text = utf8(bytes);
    if (utf8.hasError())
        return std::nullopt;
    return text;
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
    QString text;
    if (startsWith({0xFF, 0xFE})) {
        encoding = IniFile::Encoding::Utf16LE;
        text = QStringDecoder(QStringConverter::Utf16LE)(bytes.mid(2));
    } else if (startsWith({0xFE, 0xFF})) {
        encoding = IniFile::Encoding::Utf16BE;
        text = QStringDecoder(QStringConverter::Utf16BE)(bytes.mid(2));
    } else if (const auto unmarked = unmarkedUtf16(bytes)) {
        encoding = *unmarked;
        text = QStringDecoder(encoding == IniFile::Encoding::Utf16LEWithoutBom ? QStringConverter::Utf16LE
                                                                                : QStringConverter::Utf16BE)(bytes);
    } else if (startsWith({0xEF, 0xBB, 0xBF})) {
        encoding = IniFile::Encoding::Utf8WithBom;
        text = decodeUtf8(withEncodedSurrogatesReplaced(bytes.mid(3)))
                   .value_or(QString::fromUtf8(bytes.mid(3)));
    } else if (auto utf8 = decodeUtf8(withEncodedSurrogatesReplaced(bytes))) {
        // Without a byte-order mark: UTF-8 when the bytes are valid UTF-8 ...
        encoding = IniFile::Encoding::Utf8;
        text = *utf8;
    } else {
        // ... else one byte per character, so that saving writes every foreign byte back
        // unchanged.
        encoding = IniFile::Encoding::Latin1;
        return QString::fromLatin1(bytes);
    }
    replaceLoneSurrogates(text);
    return text;
}

} // namespace

IniFile::IniFile(const QString& path) : m_path(path)
{
    // Only a regular file of a configuration's size is read: a named pipe or device under the
    // name would block or never end, and a huge file would take the memory.
    const BoundedRead read = readRegularFile(path, kMaxConfigurationBytes);
    if (read.problem == ReadProblem::Missing) {
        m_encoding = encodingForNewFile(path);
        return;
    }
    // An existing file that cannot be read counts as empty; it is never written over, since its
    // content would be lost (or, for a device or pipe, it is no file to replace).
    m_encoding = Encoding::Utf8;
    if (read.problem != ReadProblem::None) {
        m_unreadable = true;
        if (read.problem != ReadProblem::Unreadable)
            m_refusal = readProblemText(path, read);
        return;
    }
    const QString text = decode(read.bytes, m_encoding);
    // The line break at the end of the last line does not start another line.
    m_lines = textLines(text);
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

bool IniFile::hasSection(const QString& section) const
{
    return std::ranges::any_of(m_lines, [&](const QString& line) {
        const auto name = sectionName(line);
        return name && sameName(*name, section);
    });
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
    replaceLoneSurrogates(text);
    switch (m_encoding) {
    case Encoding::Utf16LE:
        return QByteArray("\xFF\xFE", 2) + QStringEncoder(QStringConverter::Utf16LE)(text);
    case Encoding::Utf16LEWithoutBom:
        return QStringEncoder(QStringConverter::Utf16LE)(text);
    case Encoding::Utf16BEWithoutBom:
        return QStringEncoder(QStringConverter::Utf16BE)(text);
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
    Flush([](QIODevice& device, const char* data, qint64 size) { return device.write(data, size); });
}

void IniFile::Flush(const WriteFunction& write)
{
    if (!m_dirty)
        return;
    const QString shown = QDir::toNativeSeparators(m_path);
    const IniFileError writeError(QStringLiteral("Unable to write to %1").arg(shown));
    const bool existed = QFileInfo::exists(m_path);
    // The new content goes to a temporary file beside the old one and replaces it only when it is
    // complete: a failure at any point leaves the previous file untouched. The file is unbuffered
    // so that every failed write shows here: a buffered save file would only meet the failure
    // while committing, and commit a cut-off file all the same.
    if (!m_refusal.isEmpty())
        throw IniFileError(m_refusal);
    if (m_unreadable)
        throw writeError;
    QSaveFile file(m_path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        if (existed)
            throw writeError;
        throw IniFileError(
            QStringLiteral("Cannot create file \"%1\". %2").arg(shown, file.errorString()));
    }
    const QByteArray bytes = toBytes();
    if (bytes.size() > kMaxConfigurationBytes) {
        // A file that large could not be loaded again.
        throw IniFileError(readProblemText(m_path, ReadProblem::TooLarge, kMaxConfigurationBytes));
    }
    for (qint64 done = 0; done < bytes.size();) {
        const qint64 n = write(file, bytes.constData() + done, bytes.size() - done);
        if (n <= 0)
            throw writeError; // the save file discards the temporary
        done += n;
    }
    // "Saved" must hold after a power cut: the new content reaches the disk before it replaces
    // the old file, and the folder's new entry after.
    if (syncFileData(int(file.handle())) != 0)
        throw writeError;
    // Only a regular file is ever replaced: a device or pipe put under the name meanwhile stays.
    if (const QFileInfo now(m_path); now.exists() && !now.isFile()) {
        throw IniFileError(readProblemText(m_path, ReadProblem::NotAFile));
    }
    if (!file.commit())
        throw writeError;
    m_dirty = false;
    if (syncFolder(QFileInfo(m_path).absolutePath()) != 0)
        throw writeError;
}

} // namespace qp
