// SPDX-License-Identifier: MIT
#include "gui/app/MainWindowDrops.h"

#include "core/settings/ConfigurationMenu.h"
#include "gui/app/MainWindowPreview.h"
#include "gui/app/MainWindowRun.h"
#include "gui/run/TextPage.h"

#include <QMimeData>

namespace qp {

MainWindowDrops::MainWindowDrops(ConfigurationMenu& configurations, TextPage& textPage, MainWindowPreview& preview,
                                 const MainWindowRun& run)
    : m_configurations(configurations), m_textPage(textPage), m_preview(preview), m_run(run)
{
}

DroppedContent MainWindowDrops::classify(const QMimeData& data) const
{
    if (m_run.running())
        return {};
    return classifyDrop(data.urls(), data.hasText());
}

void MainWindowDrops::take(const DroppedContent& dropped, const QMimeData& data)
{
    switch (dropped.kind) {
    case DroppedContent::Kind::Configurations:
        // Each as if chosen in the load dialog, so each gets its entry.
        m_preview.hold([this, &dropped] {
            for (const QString& path : dropped.files)
                m_configurations.loadWithDialog(path);
        });
        break;
    // A dropped text replaces the text; the preview waits for the line counter, which names the
    // line it shows in per-line mode.
    case DroppedContent::Kind::TextFile:
        if (const std::optional<QString> text = readDroppedText(dropped.files.front()))
            m_preview.hold([this, &text] { m_textPage.replaceText(*text); });
        break;
    case DroppedContent::Kind::Text:
        m_preview.hold([this, &data] { m_textPage.replaceText(data.text()); });
        break;
    case DroppedContent::Kind::Refused:
        break;
    }
}

} // namespace qp
