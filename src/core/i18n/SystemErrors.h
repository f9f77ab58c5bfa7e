// SPDX-License-Identifier: MIT
#pragma once
// The causes the operating system gives for a failed file operation (error numbers), in the
// interface language from the program's own table. The C library's texts follow the desktop's
// locale, which need not be the interface language, so they are never shown as they are.
#include <QString>

namespace qp {

// The cause for `error` (an errno value) in `languageCode` ("de" or "en"). A number the table
// does not know gives the C library's English text with the number.
QString systemErrorText(int error, const QString& languageCode);
// The same in the current interface language.
QString systemErrorText(int error);

#ifdef Q_OS_WIN
// The error number of the table for a Windows error code (GetLastError); EIO for codes that
// have no closer one.
int errnoFromWindowsError(unsigned long code);
#endif

} // namespace qp
