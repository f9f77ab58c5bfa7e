// SPDX-License-Identifier: MIT
#include "gui/output/Toptionen.h"

#include "core/output/EncoderOptions.h"
#include "core/settings/SettingsModel.h"
#include "gui/i18n/CatalogTexts.h"
#include "gui/run/SecondaryWindow.h"
#include "gui/settings/SettingBinder.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QVBoxLayout>

namespace qp {

Toptionen::Toptionen(SettingsModel& settings, QWidget* parent)
    : QDialog(parent, secondaryWindowFlags(parent)), m_settings(settings)
{
    setObjectName(QStringLiteral("optionen"));
    setModal(false);

    // The page-size group of this window (act_size*) is never shown; its settings live on in the
    // model only.
    m_group = named(new QGroupBox(this), "GroupBox2");
    m_qualityLabel = named(new QLabel(m_group), "Label10");
    m_qualityLabel->setTextFormat(Qt::PlainText);
    m_quality = named(new QComboBox(m_group), Setting::out_quality);
    m_qualitySlider = named(new QSlider(Qt::Horizontal, m_group), Setting::ScrollBar1);
    m_progressive = named(new QCheckBox(m_group), Setting::progressivaktiv);
    m_psdLayers = named(new QCheckBox(m_group), Setting::psdlayers);
    m_antialias = named(new QCheckBox(m_group), Setting::cb_antialias);
    m_ok = named(new QPushButton(QStringLiteral("OK"), this), "Button1");
    m_ok->setDefault(true);
    m_ok->setAutoDefault(true);

    m_qualityLabel->setBuddy(m_quality);
    m_quality->setFixedWidth(m_quality->fontMetrics().horizontalAdvance(QStringLiteral("0000")) + 48);
    m_qualitySlider->setPageStep(10);
    m_qualitySlider->setMinimumWidth(200);

    auto* quality = new QHBoxLayout;
    quality->addWidget(m_quality);
    quality->addSpacing(6);
    quality->addWidget(m_qualitySlider, 1);

    auto* group = new QVBoxLayout(m_group);
    group->setSpacing(6);
    group->addWidget(m_qualityLabel);
    group->addLayout(quality);
    group->addSpacing(10);
    group->addWidget(m_progressive);
    group->addWidget(m_psdLayers);
    group->addWidget(m_antialias);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_ok);

    auto* layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->setContentsMargins(12, 12, 12, 12);
    layout->setSpacing(10);
    layout->addWidget(m_group);
    layout->addLayout(buttons);

    m_qualitySlider->setRange(1, 100);
    auto* binder = new SettingBinder(settings, this);
    binder->bindComboBox(Setting::out_quality, m_quality, SettingsModel::qualityProposals());
    // A proposal never completes what the user types: "10" stays 10 and does not become 100.
    m_quality->setCompleter(nullptr);
    binder->bindSlider(Setting::ScrollBar1, m_qualitySlider);
    binder->bindCheckBox(Setting::progressivaktiv, m_progressive);
    binder->bindCheckBox(Setting::psdlayers, m_psdLayers);
    binder->bindCheckBox(Setting::cb_antialias, m_antialias);

    // Only the encoder settings that some format offers have controls.
    const OfferedEncoderSettings offered = offeredEncoderSettings();
    if (!offered.quality) {
        m_qualityLabel->hide();
        m_quality->hide();
        m_qualitySlider->hide();
    }
    if (!offered.progressive)
        m_progressive->hide();
    if (!offered.psdLayers)
        m_psdLayers->hide();

    connect(m_ok, &QPushButton::clicked, this, &QDialog::accept);

    // From now on the renderer follows cb_antialias.
    settings.setOptionsWindowExists(true);
    Sprache();
}

void Toptionen::Sprache()
{
    applyCatalogTexts(this, QStringLiteral("optionen"));
}

} // namespace qp
