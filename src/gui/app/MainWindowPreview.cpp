// SPDX-License-Identifier: MIT
#include "gui/app/MainWindowPreview.h"

#include "core/render/Renderer.h"
#include "core/settings/SettingsModel.h"
#include "gui/render/FontPage.h"
#include "gui/render/PreviewBox.h"
#include "gui/run/TextPage.h"

#include <QPlainTextEdit>

namespace qp {

MainWindowPreview::MainWindowPreview(const SettingsModel& settings, PreviewBox& box, TextPage& textPage,
                                     FontPage& fontPage)
    : m_settings(settings), m_box(box), m_textPage(textPage),
      m_refresh([this] { return CreateBitmap(text(), m_settings); },
                [this](const QImage& bitmap) { m_box.showImage(bitmap); })
{
    connect(&m_settings, &SettingsModel::previewRequested, this, &MainWindowPreview::request);
    connect(&m_box, &PreviewBox::resized, this, &MainWindowPreview::request);
    connect(m_textPage.memo(), &QPlainTextEdit::textChanged, this, &MainWindowPreview::request);
    connect(&m_textPage, &TextPage::caretLineChanged, this, &MainWindowPreview::request);
    connect(&fontPage, &FontPage::previewWanted, this, &MainWindowPreview::request);
}

void MainWindowPreview::request()
{
    m_refresh.request();
}

void MainWindowPreview::hold(const std::function<void()>& load)
{
    m_refresh.hold(load);
}

QString MainWindowPreview::text() const
{
    return m_textPage.previewText();
}

} // namespace qp
