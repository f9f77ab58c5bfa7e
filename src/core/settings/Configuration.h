// SPDX-License-Identifier: MIT
#pragma once
// Configuration files (".qpcf"): every setting of the four settings windows, the main window's
// placement and the auto-save choice, written to and read from an INI file.
//
// Sections join a window prefix ("PB" main window, "ES" shell settings, "OP" format options,
// "ON" file-name options) and a kind suffix ("ED" text, "CB" choice text, "RB" radio, "CH" check,
// "SB" position, "PA" panel flag); keys are the control names. "SP" holds the placement (PF
// maximized, PB/PH client width/height, PT/PL top/left), "AS" the auto-save choice (N never,
// A save all).
#include "core/settings/SettingsModel.h"
#include "core/settings/WindowPlacement.h"

#include <QSize>
#include <QString>
#include <functional>
#include <utility>
#include <vector>

namespace qp {

// What the windows do around a configuration file. Every member may be left empty: the
// command-line tool sets none.
struct ConfigurationHooks {
    // The main window's placement now. Without it a save leaves the placement section of the file
    // as it is (or writes none into a new file) and a load applies no placement.
    std::function<WindowPlacement()> currentPlacement;
    // The size of the screen the main window is on; without it the screen sets no limit.
    std::function<QSize()> screenSize;
    // Takes the placement a load arrived at (see placementAfterLoad).
    std::function<void(const PlacementChange&)> applyPlacement;
    // Takes the placement values of a loaded file as they stand, without a window or a screen to
    // apply them to (the command-line tool keeps them and writes them back when it saves).
    std::function<void(const PlacementFileValues&)> placementLoaded;
    // Applies the current interface language to all windows again; among other things this
    // brings the text of out_format into the current language.
    std::function<void()> reapplyLanguage;
    // Redraws the preview.
    std::function<void()> refreshPreview;
};

// The section of a setting of `kind` in `window`, e.g. "PBED" for a text of the main window; "QP"
// for the later settings (window Qp) of any kind.
QString configurationSection(SettingWindow window, SettingKind kind);

// The first escaping step of a text value: a text of at least two characters that begins and ends
// with a single quote gets one more single quote at each end, else one that begins and ends with a
// double quote one more double quote. (The INI file adds the second step, see IniFile::WriteText.)
QString escapeQuotedEnds(const QString& text);

// Writes the whole configuration to `path`: the settings window by window (main window, shell
// settings, format options, file-name options) in their order, then "SP" and "AS", then "QP" with
// the later settings when one of them differs from its default or the file holds "QP" already.
// Other sections and keys of an existing file stay. Raises IniFileError when the file cannot be
// created or written; the file is then unchanged.
void KonfigurationSpeichern(const SettingsModel& settings, const QString& path,
                            const ConfigurationHooks& hooks = {});

// Reads `path` into the settings. Every setting is assigned, also when its value is unchanged, so
// its change rules run; a setting whose key is missing, or whose flag or position is not a number,
// keeps its value. The later settings of section "QP" are the exception: in a configuration that
// lacks the section or one of its keys, they take their defaults (a save leaves the section out
// while they are all at their defaults). Then the placement is applied, the auto-save choice set, the font-list entry
// equal to label2 selected, the language applied again and the preview redrawn. A missing or
// unreadable file changes no setting and raises nothing.
void KonfigurationLaden(SettingsModel& settings, ConfigurationCaller caller, const QString& path,
                        const ConfigurationHooks& hooks = {});

// Every setting's value and the auto-save choice as they stand: what a reset can be undone to.
struct SettingsSnapshot {
    std::vector<std::pair<Setting, QString>> values; // flags as "1"/"0", positions as numbers
    bool autoSaveNever = true;
    bool autoSaveAll = false;
};
SettingsSnapshot takeSettingsSnapshot(const SettingsModel& settings);
// Puts a snapshot back as a load does: every setting assigned in file order, the auto-save
// choice, the font-list entry, the language and the preview. The placement is left alone.
void restoreSettingsSnapshot(SettingsModel& settings, const SettingsSnapshot& snapshot,
                             const ConfigurationHooks& hooks = {});

// Assignments with the effects of a user change: the change rules run also when the value stays
// the same.
void assignText(SettingsModel& settings, Setting key, const QString& value);
void assignChecked(SettingsModel& settings, Setting key, bool value);
void assignPosition(SettingsModel& settings, Setting key, int value);

} // namespace qp
