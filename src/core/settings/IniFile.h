// SPDX-License-Identifier: MIT
#pragma once
// An INI file held in memory: sections in square brackets, lines of key "=" value.
//
// Reading: section and key names are compared without regard to case and the first match counts;
// a value is the text after the first "=", with blanks trimmed and one pair of matching quotes
// (single or double) removed, returned whole however long it is; a missing file, section or key
// gives the caller's default.
// Writing: a key's line is replaced where it stands, a new key goes to the end of its section, a
// new section to the end of the file; nothing is ever deleted. Lines end in CR LF. Flush() writes
// the whole file through a temporary file beside it that replaces the old file only when it is
// complete, so a failed save leaves the previous file as it was.
// Encoding: an existing file keeps its own: UTF-16 with byte-order mark; UTF-16 without one,
// recognised by the zero high bytes of most characters at its start; UTF-8; or, for a file
// without byte-order mark that is not valid UTF-8, Latin-1, kept byte for byte. A new file is
// UTF-16LE with byte-order mark, except for the extensions .bmp, .gif, .jpg and .jpeg, which get
// UTF-8 without byte-order mark. Half of a UTF-16 surrogate pair without its other half is read,
// and written, as U+FFFD, so one damaged value never spoils the rest of the file.
#include <QIODevice>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>
#include <stdexcept>

namespace qp {

// A configuration file that cannot be created or written.
class IniFileError : public std::runtime_error {
public:
    explicit IniFileError(const QString& message)
        : std::runtime_error(message.toStdString()), m_message(message) {}
    QString message() const { return m_message; }

private:
    QString m_message;
};

class IniFile {
public:
    enum class Encoding {
        Utf16LE,
        Utf16LEWithoutBom,
        Utf16BE,
        Utf16BEWithoutBom,
        Utf8,
        Utf8WithBom,
        Latin1
    };

    // How Flush puts bytes into the file: writes at most `size` bytes of `data` to `device` and
    // returns how many it wrote, or -1 on failure. Tests pass one that fails part-way.
    using WriteFunction = std::function<qint64(QIODevice& device, const char* data, qint64 size)>;

    // Reads the file at `path` into memory; a file that does not exist or cannot be read counts
    // as empty (and one that cannot be read is not written over by Flush). Only a regular file of
    // at most kMaxConfigurationBytes is read; anything else under the name (a folder, a device, a
    // named pipe) or a larger file counts as unreadable, and Flush refuses it with the reason.
    explicit IniFile(const QString& path);

    QString fileName() const { return m_path; }
    Encoding encoding() const { return m_encoding; }

    QString ReadText(const QString& section, const QString& key, const QString& defaultValue) const;
    // Writes `value`, put in double quotes when it begins or ends with characters of code 0 to 32
    // so that reading gives it back whole. Line breaks inside the value become spaces: a value
    // never spans lines.
    void WriteText(const QString& section, const QString& key, const QString& value);
    // The value as an integer ("0x"/"0X" at the start read as "$"); `defaultValue` when the key
    // is missing or its text fails the integer test.
    qint32 ReadNumber(const QString& section, const QString& key, qint32 defaultValue) const;
    void WriteNumber(const QString& section, const QString& key, qint32 value);
    // True when ReadNumber gives a value other than 0.
    bool ReadFlag(const QString& section, const QString& key, bool defaultValue) const;
    void WriteFlag(const QString& section, const QString& key, bool value);

    // Whether the file holds a section of this name (compared without regard to case).
    bool hasSection(const QString& section) const;

    // The same readings without a default: nothing when the key is missing or unreadable.
    std::optional<qint32> readNumber(const QString& section, const QString& key) const;
    std::optional<bool> readFlag(const QString& section, const QString& key) const;

    // Writes the file when something was written since it was read. Raises IniFileError with
    // "Cannot create file "<path>". <reason>" when the file cannot be created, and
    // "Unable to write to <path>" when its content cannot be written completely; the previous
    // file is then left exactly as it was and no temporary file remains.
    void Flush();
    void Flush(const WriteFunction& write);

    // The whole file as it would be written.
    QByteArray toBytes() const;

    // The quoting that WriteText applies: double quotes around a text that begins or ends with a
    // character of code 0 to 32.
    static QString quoteOuterBlanks(const QString& text);

private:
    struct Location {
        qsizetype sectionLine = -1; // header line of the first matching section
        qsizetype keyLine = -1;     // first matching key line inside it
    };
    Location locate(const QString& section, const QString& key) const;
    std::optional<QString> rawValue(const QString& section, const QString& key) const;

    QString m_path;
    QStringList m_lines;
    Encoding m_encoding = Encoding::Utf16LE;
    bool m_dirty = false;
    bool m_unreadable = false; // exists but could not be read
    QString m_refusal;         // why it is not read or written: no regular file, or too large
};

} // namespace qp
