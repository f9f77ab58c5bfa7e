// SPDX-License-Identifier: MIT
#pragma once
// Command-line parsing of quillpress-cli. One table of the options (in CliOptions.cpp) is what
// the parser walks and what the usage text is made from.
#include "core/settings/SettingsModel.h"

#include <QPair>
#include <QString>
#include <QStringList>
#include <optional>

namespace qp::cli {

// A shell registration request: --shell-status, --shell-register GROUP, --shell-remove GROUP.
struct ShellRequest {
    enum Kind { Status, Register, Remove } kind = Status;
    QString group;   // config, sendto, folders, files or types; empty for Status
};

struct CliOptions {
    // Settings to apply, in order: (setting, value as --set gives it).
    QList<QPair<Setting, QString>> settings;
    QStringList textArguments;       // positional arguments, joined by a line break
    bool textFromStdin = false;      // the positional argument "-"
    QString textFile;                // --text-file
    std::optional<QString> language; // --language de|en
    bool help = false;
    bool version = false;
    bool listSettings = false;
    bool listFormats = false;
    bool quiet = false;              // no progress bar
    bool dryRun = false;             // print the paths a run would write, write nothing
    QStringList configs;             // --config, loaded in order before the settings
    bool noStartConfig = false;      // --no-start-config
    QString saveConfig;              // --save-config
    QList<ShellRequest> shell;       // shell registration requests, in order
    QString shellProgram;            // --shell-program: the program file the entries start
};

// The names and arguments of each entry of the usage, in its order: "-c, --config FILE",
// "--shell-register GROUP, --shell-remove GROUP" (the options that share one text form one entry).
QStringList cliOptionEntries();

struct ParseResult {
    CliOptions options;
    QString error;   // non-empty: wrong usage
};

// Parses the arguments; error texts are in the current language (see languageOption).
ParseResult parseArguments(const QStringList& arguments);

// The value of the last valid --language option before "--", so that the language is known
// before anything else is reported.
std::optional<QString> languageOption(const QStringList& arguments);

// The output-format entry of the current language whose extension is `ext` ("png", ".png" or
// "*.png"), case-insensitive.
std::optional<QString> formatForExtension(const QString& ext);

QString usageText();

} // namespace qp::cli
