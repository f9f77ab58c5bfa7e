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
    QString configHome;     // $XDG_CONFIG_HOME; on Windows the roaming application data (%APPDATA%)
    QString picturesDir;    // the user's pictures folder
    QString dataHome;       // the per-user data folder of the program
};

// The rules of the Linux program. QUILLPRESS_HOME, when set, is the folder of both (output in
// its "output" folder). An installed program (its file lies in the install prefix's binary folder,
// recognised by the configured path or by the desktop entry that the install rules put beside it
// in the data folder) keeps its configurations in configHome/quillpress and writes into
// picturesDir/Quillpress: nothing is ever written beside an installed program. Otherwise the
// program is portable: the folder of the program file when it is writable, else the per-user data
// folder, with output in its "output" folder. Pure apart from looking at the file system; creates
// nothing.
ProgramFolders resolveProgramFolders(const ProgramFolderInputs& in);

// The file the Windows installer puts beside the program files. The program cannot tell an
// installed copy by its place (the user chooses the folder, and an administrator may run it from a
// writable one), so the installer says so: a folder holding this file is an installed copy.
inline constexpr char kInstalledMarkerName[] = "quillpress-installed.txt";

// The rules of the Windows program. QUILLPRESS_HOME as above. An installed copy (the marker file
// beside the program file), or any copy whose folder does not take a new file (C:\Program Files
// for a user without administrator rights), keeps its configurations in configHome/Quillpress
// and writes into picturesDir/Quillpress, as the installed Linux program does. Any other copy (the
// unpacked portable zip) is portable: everything lives beside the program file, output in its
// "output" folder. Whether the folder takes a file is found out by creating one there and removing
// it at once: the only answer that holds for access lists and the filtered token of an
// administrator alike (a 64-bit program's writes are never redirected to a virtual store).
ProgramFolders resolveWindowsProgramFolders(const ProgramFolderInputs& in);

// The folders of this process, by the rules of its platform; the configuration folder is created
// when missing and `create` is set. Paths have no trailing separator and use the platform's
// separators.
ProgramFolders programFolders(bool create = true);

// "Quillpress" in the user's pictures folder (the home folder when there is none).
QString userPicturesOutputFolder();

} // namespace qp
