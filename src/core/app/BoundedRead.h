// SPDX-License-Identifier: MIT
#pragma once
// Reading files whose size and kind the user decides: configurations and texts. A read never
// waits on a pipe nobody writes to when a regular file is wanted, and never takes more than a
// stated number of bytes, so a device, a named pipe or a huge file is refused in place of
// hanging the program or exhausting its memory.
#include <QByteArray>
#include <QIODevice>
#include <QString>

namespace qp {

// The largest configuration file read or written: far above any the program writes (a few
// kilobytes), low enough that reading one costs little memory.
inline constexpr qint64 kMaxConfigurationBytes = 16 * 1024 * 1024;
// The largest text taken from a file or from standard input.
inline constexpr qint64 kMaxTextBytes = 64 * 1024 * 1024;

enum class ReadProblem {
    None,
    Missing,    // nothing under the name
    NotAFile,   // a folder, a device, a named pipe, a socket
    TooLarge,   // more bytes than the limit
    Unreadable, // the system refused to open or read it
};

struct BoundedRead {
    QByteArray bytes;
    ReadProblem problem = ReadProblem::None;
    int error = 0;     // the system's error number, for Unreadable
    qint64 limit = 0;  // the limit the read had, for TooLarge
};

// What stands under `path`, checked without opening it: None for a regular file (or a link to
// one) of at most `limit` bytes.
ReadProblem regularFileProblem(const QString& path, qint64 limit);

// The content of the regular file `path` (a link to one counts), at most `limit` bytes. The file
// is opened without waiting and its kind checked on the opened file, so a named pipe or device
// put under the name is refused, not read.
BoundedRead readRegularFile(const QString& path, qint64 limit);

// Everything `device` gives until its end, at most `limit` bytes (any kind of file: a pipe, a
// terminal, a device). Reads in steps and stops as soon as the limit is passed.
BoundedRead readStream(QIODevice& device, qint64 limit);
// The same for a file by name, opened as it is (a named pipe waits for its writer, as any
// program's input does).
BoundedRead readStream(const QString& path, qint64 limit);

// Why a read failed, in the interface language, naming the file ("\"x\" is not a regular file"
// and the like).
QString readProblemText(const QString& path, const BoundedRead& read);
QString readProblemText(const QString& path, ReadProblem problem, qint64 limit = 0);

} // namespace qp
