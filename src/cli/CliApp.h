// SPDX-License-Identifier: MIT
#pragma once
// The command-line tool: applies the options to a settings model and runs "Create and Save".
#include <QIODevice>
#include <QStringList>
#include <QTextStream>

namespace qp::cli {

struct CliStreams {
    QTextStream& out;
    QTextStream& err;
    QIODevice* in = nullptr;       // standard input, for the text argument "-"
    bool errIsTerminal = false;    // show a progress bar (standard error is a terminal that has one)
};

// Runs the tool; returns the exit status (0 all written, 1 refused or failed, 2 wrong usage).
int runCli(const QStringList& arguments, CliStreams& streams);

} // namespace qp::cli
