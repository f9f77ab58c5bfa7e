// SPDX-License-Identifier: MIT
#include "core/run/FileNaming.h"

#include "core/run/NumberingMemo.h"
#include "core/settings/IntegerTest.h"
#include "core/settings/SettingsModel.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <sys/stat.h>
#endif

namespace qp {

bool isControlCharacter(QChar c)
{
    return c.unicode() < 0x20 || c.unicode() == 0x7F;
}

QString replaceAll(const QString& input, const QString& search, const QString& replacement)
{
    if (input.isEmpty() || search.isEmpty() || search == replacement)
        return input;
    QString out;
    qsizetype from = 0;
    for (;;) {
        const qsizetype at = input.indexOf(search, from);
        if (at < 0)
            break;
        out += QStringView(input).mid(from, at - from);
        out += replacement;
        from = at + search.size();
    }
    out += QStringView(input).mid(from);
    return out;
}

QString formatExtension(const QString& formatText)
{
    const qsizetype at = formatText.indexOf(QLatin1String(" - "));
    if (at < 0)
        return {};
    QString ext = formatText.left(at);
    ext.remove(QLatin1Char('*'));
    return ext;
}

NamingSettings readNamingSettings(const SettingsModel& s)
{
    using enum Setting;
    NamingSettings n;
    n.folder = s.text(out_ordner);
    n.formatText = s.text(out_format);
    n.automatic = s.checked(n_auto);
    n.fixedName = s.text(ed_name);
    n.numberAlways = s.checked(cb_numsofort);
    if (s.checked(cb_num))
        n.firstNumber = integerOr(s.text(ed_num), 1);
    if (s.checked(cb_leerzeichen))
        n.spaceReplacement = s.text(ed_leerzeichen);
    if (s.checked(cb_ersatz))
        n.removalReplacement = s.text(ed_ersatz);
    if (s.checked(cb_buchst))
        n.allowed = s.text(ed_buchst);
    if (s.checked(cb_max))
        n.maxLength = toInteger(s.text(ed_max));
    n.letterCase = s.checked(cb_lower) ? LetterCase::Lower : s.checked(cb_upper) ? LetterCase::Upper : LetterCase::Keep;
    return n;
}

QString automaticName(const QString& text, const SettingsModel& settings)
{
    return automaticName(text, readNamingSettings(settings));
}

QString automaticName(const QString& text, const NamingSettings& s)
{
    const QString& removalReplacement = s.removalReplacement;
    const QString dot = QStringLiteral(".");

    QString n = text;
    for (qsizetype i = 0; i < n.size(); ++i) {
        // A CR LF pair is a line break, which becomes a space below; any other control character
        // goes the way of the reserved characters.
        if (n[i] == u'\r' && i + 1 < n.size() && n[i + 1] == u'\n')
            ++i;
        else if (isReservedCharacter(n[i]) || isControlCharacter(n[i]))
            n[i] = QLatin1Char('.');
    }
    n = replaceAll(n, dot, removalReplacement);
    n = replaceAll(n, QStringLiteral("\r\n"), QStringLiteral(" "));
    if (s.spaceReplacement)
        n = replaceAll(n, QStringLiteral(" "), *s.spaceReplacement);
    if (s.allowed) {
        const QString& allowed = *s.allowed;
        for (QChar& c : n)
            if (!allowed.contains(c))
                c = QLatin1Char('.');
        n = replaceAll(n, dot, removalReplacement);
    }
    if (const auto max = s.maxLength) {
        qsizetype keep = *max <= 0 ? 0 : qsizetype(std::min<qint64>(*max, n.size()));
        // Never keep half of a character that takes two units (a surrogate pair).
        if (keep > 0 && keep < n.size() && n[keep - 1].isHighSurrogate())
            --keep;
        n.truncate(keep);
    }
    if (s.letterCase == LetterCase::Lower)
        n = n.toLower();
    else if (s.letterCase == LetterCase::Upper)
        n = n.toUpper();
    return n;
}

namespace {

// A name never leads out of the output folder and never holds a line break or a terminal control
// sequence: reserved characters (both path separators among them) and control characters (NUL
// among them, which would cut the name short) become "_". Replacement texts loaded from a
// configuration and fixed names may carry them.
QString confineToFolder(QString name)
{
    for (QChar& c : name)
        if (isReservedCharacter(c) || isControlCharacter(c))
            c = QLatin1Char('_');
    return name;
}

// Anything under the name takes it: a file, a folder, a link (dangling or not), so that an image
// never fails for a name that a folder already has.
bool fileExists(const QString& path)
{
#ifdef Q_OS_UNIX
    // One system call per probe: the numbering of a long run probes once per image.
    struct stat st {};
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0;
#else
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();
#endif
}

// Makes the output folder, with missing parents, when it does not exist. Every image of a run asks
// again, so a folder that exists costs one system call.
void makeFolder(const QString& folder)
{
#ifdef Q_OS_UNIX
    if (::mkdir(QFile::encodeName(folder).constData(), 0777) == 0 || errno == EEXIST)
        return;
#endif
    QDir().mkpath(folder);
}

} // namespace

QString CreateFileName(const QString& text, const SettingsModel& settings, NumberingMemo* memo)
{
    return CreateFileName(text, readNamingSettings(settings), memo);
}

namespace {

// The path for `text` in `folder`, numbered past every name `taken` reports; `moved` tells whether
// a taken name (rather than an empty name or "number always") made it numbered.
template <typename Taken>
QString numberedPath(const QString& text, const NamingSettings& s, NumberingMemo* memo, const Taken& taken,
                     bool* moved)
{
    QString folder = s.folder;
    const QChar sep = QDir::separator();
    if (!folder.endsWith(sep))
        folder += sep;

    // The extension comes from the format text, which a configuration file may set to anything:
    // it is confined like the name.
    const QString extension = confineToFolder(formatExtension(s.formatText));
    const QString name = confineToFolder(s.automatic ? automaticName(text, s) : s.fixedName);

    QString path = folder + name + extension;
    // An empty name is numbered at once: "1.png" rather than ".png", which file managers hide.
    const bool plainTaken = !name.isEmpty() && !s.numberAlways && taken(path);
    if (moved)
        *moved = plainTaken;
    if (name.isEmpty() || plainTaken || s.numberAlways) {
        const qint64 start = s.firstNumber;
        // Within a run, probing goes on from the lowest number that may still be free.
        const QString stem = folder + name;
        qint64 k = memo ? memo->firstCandidate(stem, extension, start) : start;
        path = stem + QString::number(k) + extension;
        while (taken(path))
            path = stem + QString::number(++k) + extension;
        if (memo)
            memo->remember(stem, extension, start, k);
    }
    return path;
}

} // namespace

QString CreateFileName(const QString& text, const NamingSettings& s, NumberingMemo* memo)
{
    makeFolder(s.folder);
    return numberedPath(text, s, memo, fileExists, nullptr);
}

NamePlanner::NamePlanner(NamingSettings settings) : m_settings(std::move(settings)) {}

PlannedName NamePlanner::next(const QString& text)
{
    PlannedName planned;
    planned.path = numberedPath(
        text, m_settings, &m_memo,
        [this](const QString& path) { return m_planned.contains(path) || fileExists(path); },
        &planned.moved);
    m_planned.insert(planned.path);
    return planned;
}

} // namespace qp
