// SPDX-License-Identifier: MIT
#pragma once
// The main window's preview: the text the Text page names, drawn with the current settings into
// the preview box, and drawn again at every change of the settings, the text, the caret's line,
// the box's size or a choice on the Font page.
#include "gui/render/PreviewRefresh.h"

#include <QObject>
#include <QString>

#include <functional>

namespace qp {

class FontPage;
class PreviewBox;
class SettingsModel;
class TextPage;

class MainWindowPreview : public QObject {
    Q_OBJECT
public:
    MainWindowPreview(const SettingsModel& settings, PreviewBox& box, TextPage& textPage, FontPage& fontPage);

    // Draws the preview (Vorschau), as PreviewRefresh decides.
    void request();
    // Runs a configuration load with the preview held: the redraw requests are gathered and the
    // preview is drawn once when the load is complete.
    void hold(const std::function<void()>& load);
    // The text the preview renders now: the whole text, or in per-line mode the line the counter
    // names.
    QString text() const;

private:
    const SettingsModel& m_settings;
    PreviewBox& m_box;
    TextPage& m_textPage;
    PreviewRefresh m_refresh;
};

} // namespace qp
