// SPDX-License-Identifier: MIT
#pragma once
// What the main window takes when something is dropped on it: configuration files load like the
// load dialog's choice; one text file or dragged text becomes the text; anything else is refused,
// and so is everything while a run is going on.
#include "core/app/DroppedContent.h"

class QMimeData;

namespace qp {

class ConfigurationMenu;
class MainWindowPreview;
class MainWindowRun;
class TextPage;

class MainWindowDrops {
public:
    MainWindowDrops(ConfigurationMenu& configurations, TextPage& textPage, MainWindowPreview& preview,
                    const MainWindowRun& run);

    // What a drag carries, as the window takes it (Refused while a run is going on).
    DroppedContent classify(const QMimeData& data) const;
    // Takes the dropped content that `classify` found in `data`, with the preview held.
    void take(const DroppedContent& dropped, const QMimeData& data);

private:
    ConfigurationMenu& m_configurations;
    TextPage& m_textPage;
    MainWindowPreview& m_preview;
    const MainWindowRun& m_run;
};

} // namespace qp
