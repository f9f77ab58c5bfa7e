// SPDX-License-Identifier: MIT
#pragma once
// The main window's page "Margins and Spaces": the size mode (a size that follows the text, with
// an optional maximum width, or a fixed size), the text alignment, the four margins and the line
// spacing with their arrows.
#include "gui/settings/SettingsPage.h"

namespace qp {

class SettingBinder;

class MarginsPage : public SettingsPage {
public:
    explicit MarginsPage(SettingBinder& binder);

private:
    void bindSettings(SettingBinder& b);
};

} // namespace qp
