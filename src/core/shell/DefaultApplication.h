// SPDX-License-Identifier: MIT
#pragma once
// Which desktop entry opens a MIME type by default and which program file an entry starts, found
// the way the desktop finds them: the default as the desktop's own query tool answers it, the
// program through the PATH.
#include <QProcessEnvironment>
#include <QString>

namespace qp {

// The id ("viewer.desktop") of the desktop entry that opens `mimeType` by default for a desktop
// started in `environment`; empty when there is none or the query tool is missing.
QString defaultEntryId(const QString& mimeType, const QProcessEnvironment& environment);

// The file of the desktop entry that opens `mimeType` by default for a desktop started in
// `environment`; empty when there is none or the query tool is missing.
QString defaultEntryFile(const QString& mimeType, const QProcessEnvironment& environment);

// The file of the desktop entry `id` ("viewer.desktop") that a desktop started in `environment`
// reads: the first its data folders' applications folders hold ("a-b.desktop" also as
// "a/b.desktop"); empty when none does.
QString entryFileOfId(const QString& id, const QProcessEnvironment& environment);

// The program file the Exec value `exec` starts: a path as it is, a bare name found through the
// PATH of `environment`; empty when it names nothing executable.
QString execProgram(const QString& exec, const QProcessEnvironment& environment);

// Whether `exec` starts the program file `program` (the same file, however either is linked).
bool execStarts(const QString& exec, const QString& program, const QProcessEnvironment& environment);

} // namespace qp
