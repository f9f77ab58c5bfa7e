// SPDX-License-Identifier: MIT
#pragma once
// Help -> About: the version, the licence and the program's folders, in the current language.

class QMessageBox;
class QWidget;

namespace qp {

class SettingsModel;

// The About window of `owner`: one window (its child named "about", made at the first call),
// whose texts follow the language and the output folder each time it is asked for. Modeless.
QMessageBox* aboutBox(QWidget& owner, const SettingsModel& settings);

} // namespace qp
