// SPDX-License-Identifier: MIT
#pragma once
// The hand-off's message: the replies and the sender's wait, the command line a start hands over
// and its parsing, and the bytes of a message on the Linux local socket.
#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

namespace qp {

// Replies of the receiving instance.
inline constexpr quint32 kHandOffAccepted = 0xDA860081; // handed over: the new process ends
inline constexpr quint32 kHandOffRefused = 0xDA860080;  // refused: the new process starts normally

// The sender's wait for the reply.
// Long enough for a running window that is busy (starting up, or drawing a large image of a run)
// on a loaded machine: a start that gives up too early opens a second window.
inline constexpr int kHandOffTimeoutMs = 15000;

// The command line a start hands over: the program path and every argument, each in double
// quotes, separated by blanks; a relative path is made absolute against `workingDir`. Nothing when
// an argument holds a double quote, which the receiver could not tell from the quoting, and when
// there are no arguments: a start without files opens a window of its own.
std::optional<QString> handOffCommandLine(const QString& programPath, const QStringList& arguments,
                                          const QString& workingDir);

// The double-quoted parts of `commandLine`, in order: a quote opens a part and the next one closes
// it (an empty pair gives an empty part); characters outside quotes are ignored and a part whose
// closing quote is missing is dropped. There is no escape for a quote inside a part.
QStringList ParseQuotedArguments(const QString& commandLine);

// One hand-off message.
struct HandOffMessage {
    quint32 processId = 0;
    QString commandLine;
};
QByteArray encodeHandOff(const HandOffMessage& message);
// The largest command line a receiver takes, in bytes; a longer one is refused unread (Windows: a
// start does not send it).
inline constexpr quint32 kMaxHandOffBytes = 4u * 1024 * 1024;
enum class HandOffDecode { Incomplete, Complete, Invalid };
// Decodes the message at the start of `data`; Incomplete while bytes are missing.
HandOffDecode decodeHandOff(const QByteArray& data, HandOffMessage& message);

} // namespace qp
