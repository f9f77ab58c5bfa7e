// SPDX-License-Identifier: MIT
#pragma once
// The program folder: where the start configuration and the listed configuration files live, and
// where the default output folder is placed.
#include <QString>

namespace qp {

struct ProgramFolders {
    QString configFolder; // Auto.qpcf and the listed *.qpcf files
    QString outputFolder; // the default output folder
    bool installed = false;
};

// What the folders are chosen from; programFolders() fills it from the environment.
struct ProgramFolderInputs {
    QString homeOverride;   // QUILLPRESS_HOME
    QString programDir;     // the folder of the program file
    QString installBinDir;  // the install prefix's binary folder, as configured at build time
    QString binToDataDir;   // the data folder relative to the binary folder ("../share")
    QString configHome;     // $XDG_CONFIG_HOME
    QString picturesDir;    // the user's pictures folder
    QString dataHome;       // the per-user data folder of the program
};

// QUILLPRESS_HOME, when set, is the folder of both (output in its "output" folder). An installed
// program (its file lies in the install prefix's binary folder, recognised by the configured
// path or by the desktop entry that the install rules put beside it in the data folder) keeps its
// configurations in configHome/quillpress and writes into picturesDir/Quillpress: nothing is ever
// written beside an installed program. Otherwise the program is portable: the folder of the
// program file when it is writable, else the per-user data folder, with output in its "output"
// folder. Pure apart from looking at the file system; creates nothing.
ProgramFolders resolveProgramFolders(const ProgramFolderInputs& in);

// The folders of this process; the configuration folder is created when missing and `create`
// is set. Paths have no trailing separator and use the platform's separators.
ProgramFolders programFolders(bool create = true);

// "Quillpress" in the user's pictures folder (the home folder when there is none).
QString userPicturesOutputFolder();

} // namespace qp
