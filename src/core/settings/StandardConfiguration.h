// SPDX-License-Identifier: MIT
#pragma once
// The standard configuration (F2): puts a fixed set of settings back to fixed values.
#include <QString>

namespace qp {

class SettingsModel;

// The output folder the standard configuration sets: the user's pictures folder followed by
// "Quillpress". Unlike the start-up default it does not depend on the program folder.
QString standardOutputFolder();

// Sets, in a fixed order and each with the effects of a user change: colours, font face, sizes,
// margins and spacing, output folder, file name, out_format ("*.jpg - JPEG-Image", the English
// text under either language), font size, text mode, size mode, naming, the style checks,
// wrapping, the file-name options, the hidden format checks, quality, progressive, the shell
// file types and the auto-save choice "never". The rotation and alignment radios, psdlayers,
// cb_antialias, the panel flags, the font-list selection, the window placement and the text stay.
void KonfigurationLadenStandard(SettingsModel& settings);

} // namespace qp
