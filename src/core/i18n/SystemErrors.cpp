// SPDX-License-Identifier: MIT
#include "core/i18n/SystemErrors.h"

#include "core/i18n/Language.h"

#include <cerrno>
#include <cstring>

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <locale.h>
#include <string.h>
#endif

namespace qp {

namespace {

struct ErrorText {
    int error;
    const char16_t* german;
    const char16_t* english;
};

// The causes a file write meets in practice.
const ErrorText kErrorTexts[] = {
    {EACCES, u"Keine Berechtigung", u"Permission denied"},
    {EPERM, u"Vorgang nicht erlaubt", u"Operation not permitted"},
    {ENOENT, u"Datei oder Ordner nicht vorhanden", u"No such file or directory"},
    {ENOTDIR, u"Kein Ordner", u"Not a directory"},
    {EISDIR, u"Ist ein Ordner", u"Is a directory"},
    {EEXIST, u"Die Datei existiert bereits", u"File exists"},
    {ENOSPC, u"Kein Platz mehr auf dem Gerät", u"No space left on device"},
#ifdef EDQUOT
    {EDQUOT, u"Speicherkontingent überschritten", u"Disk quota exceeded"},
#endif
    {EROFS, u"Dateisystem nur lesbar", u"Read-only file system"},
    {EIO, u"Ein-/Ausgabefehler", u"Input/output error"},
    {ENAMETOOLONG, u"Dateiname zu lang", u"File name too long"},
    {ELOOP, u"Zu viele Ebenen symbolischer Verknüpfungen", u"Too many levels of symbolic links"},
    {EMFILE, u"Zu viele offene Dateien", u"Too many open files"},
    {ENFILE, u"Zu viele offene Dateien im System", u"Too many open files in system"},
    {EFBIG, u"Datei zu groß", u"File too large"},
    {ENOMEM, u"Nicht genügend Speicher", u"Cannot allocate memory"},
    {EBUSY, u"Gerät oder Ressource belegt", u"Device or resource busy"},
    {EINVAL, u"Ungültiges Argument", u"Invalid argument"},
    {EXDEV, u"Ungültige Verknüpfung über Gerätegrenzen", u"Invalid cross-device link"},
    {EMLINK, u"Zu viele Verknüpfungen", u"Too many links"},
    {EAGAIN, u"Die Ressource ist zur Zeit nicht verfügbar", u"Resource temporarily unavailable"},
    {EINTR, u"Unterbrochener Systemaufruf", u"Interrupted system call"},
    {EPIPE, u"Unterbrochene Datenübertragung (Pipe)", u"Broken pipe"},
#ifdef ETXTBSY
    {ETXTBSY, u"Datei wird gerade ausgeführt", u"Text file busy"},
#endif
#ifdef ESTALE
    {ESTALE, u"Veraltete Dateizugriffsnummer (NFS)", u"Stale file handle"},
#endif
};

// The C library's own text for `error`, taken from its untranslated ("C") locale.
QString untranslatedText(int error)
{
#ifndef Q_OS_WIN
    if (const locale_t c = ::newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(0))) {
        const QString text = QString::fromUtf8(::strerror_l(error, c));
        ::freelocale(c);
        return text;
    }
#endif
    return QStringLiteral("error %1").arg(error);
}

} // namespace

QString systemErrorText(int error, const QString& languageCode)
{
    const bool german = languageCode == QLatin1String("de");
    for (const ErrorText& text : kErrorTexts)
        if (text.error == error)
            return QString::fromUtf16(german ? text.german : text.english);
    return (german ? QStringLiteral("Systemfehler %1 (%2)") : QStringLiteral("System error %1 (%2)"))
        .arg(error)
        .arg(untranslatedText(error));
}

QString systemErrorText(int error)
{
    return systemErrorText(error, Language::code());
}

#ifdef Q_OS_WIN
int errnoFromWindowsError(unsigned long code)
{
    switch (code) {
    case ERROR_ACCESS_DENIED:
    case ERROR_CANNOT_MAKE:
    case ERROR_NETWORK_ACCESS_DENIED:
        return EACCES;
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
        return ENOENT;
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
        return EEXIST;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return ENOSPC;
    case ERROR_WRITE_PROTECT:
        return EROFS;
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
        return EBUSY;
    case ERROR_FILENAME_EXCED_RANGE:
        return ENAMETOOLONG;
    case ERROR_TOO_MANY_OPEN_FILES:
        return EMFILE;
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_OUTOFMEMORY:
        return ENOMEM;
    case ERROR_INVALID_NAME:
    case ERROR_DIRECTORY:
        return EINVAL;
    case ERROR_NOT_SAME_DEVICE:
        return EXDEV;
    default:
        return EIO;
    }
}
#endif

} // namespace qp
