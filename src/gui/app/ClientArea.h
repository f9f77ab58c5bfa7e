// SPDX-License-Identifier: MIT
#pragma once
// The main window's client area: the preview above the four settings pages (Text, Font and
// Format, Margins and Spaces, Save), and the bottom bar below both.

class QTabWidget;
class QWidget;

namespace qp {

class BottomBar;
class FontPage;
class PreviewBox;
class SavePage;
class SettingBinder;
class SettingsModel;
class TextPage;
struct MainWindowDialogs;

// The controls of the client area that the window works with; the widgets belong to `frame`.
struct ClientArea {
    // Panel1: the window's central widget.
    QWidget* frame = nullptr;
    // Panel5: the preview above the pages; the pages' height follows its size.
    QWidget* middle = nullptr;
    PreviewBox* preview = nullptr;
    QTabWidget* pages = nullptr;
    TextPage* textPage = nullptr;
    FontPage* fontPage = nullptr;
    SavePage* savePage = nullptr;
    BottomBar* bottomBar = nullptr;
};

// Builds the client area. Each page binds its controls to the settings through `binder` as it is
// built; the panels themselves are bound by the window once they are its children.
ClientArea buildClientArea(SettingsModel& settings, SettingBinder& binder, const MainWindowDialogs& dialogs);

} // namespace qp
