// SPDX-License-Identifier: MIT
#include "gui/render/FontPage.h"

#include "core/i18n/Language.h"
#include "core/render/FontFaces.h"
#include "core/settings/SettingsModel.h"
#include "gui/app/MainWindowDialogs.h"
#include "gui/app/Named.h"
#include "gui/render/ColorField.h"
#include "gui/render/FontListBox.h"
#include "gui/settings/ArrowButtons.h"
#include "gui/settings/SettingBinder.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

namespace qp {

FontPage::FontPage(SettingsModel& settings, SettingBinder& binder, const MainWindowDialogs& dialogs)
    : SettingsPage("einst_schrift", "gb2"), m_settings(settings), m_dialogs(dialogs)
{
    auto* columns = new QHBoxLayout(group());
    columns->setSpacing(14);

    // Left: face name and the font list.
    auto* left = new QVBoxLayout;
    left->setSpacing(4);
    left->addWidget(label("Label16"));
    left->addWidget(named(new QLineEdit, Setting::label2));
    m_faceNote = hint("faceNote");
    m_faceNote->setVisible(false);
    left->addWidget(m_faceNote);
    m_fontList = named(new FontListBox, "ListBox1");
    m_fontList->setMinimumWidth(190);
    left->addWidget(m_fontList, 1);
    columns->addLayout(left, 5);

    // Right: size, style, rotation, colours.
    auto* right = new QGridLayout;
    right->setHorizontalSpacing(8);
    right->setVerticalSpacing(5);
    int row = 0;
    auto* fsize = named(new QComboBox, Setting::FSize);
    fsize->setMinimumContentsLength(4);
    auto* upDown1 = named(new ArrowButtons, "UpDown1");
    right->addWidget(label("Label12"), row, 0);
    right->addWidget(withArrows(fsize, upDown1), row++, 1, Qt::AlignLeft);

    auto* styles = new QGridLayout;
    styles->setHorizontalSpacing(12);
    styles->setVerticalSpacing(2);
    styles->addWidget(named(new QCheckBox, Setting::cb_bold), 0, 0);
    styles->addWidget(named(new QCheckBox, Setting::cb_italic), 0, 1);
    styles->addWidget(named(new QCheckBox, Setting::cb_underline), 1, 0);
    styles->addWidget(named(new QCheckBox, Setting::cb_strikeout), 1, 1);
    right->addWidget(label("Label13"), row, 0, Qt::AlignTop);
    right->addLayout(styles, row++, 1);

    // The angles read the same in every language.
    auto* rotation = new QHBoxLayout;
    rotation->setSpacing(10);
    rotation->addWidget(named(new QRadioButton, Setting::rb_drehung_0));
    rotation->addWidget(named(new QRadioButton(QStringLiteral("90°")), Setting::rb_drehung_90));
    rotation->addWidget(named(new QRadioButton(QStringLiteral("180°")), Setting::rb_drehung_180));
    rotation->addWidget(named(new QRadioButton(QStringLiteral("270°")), Setting::rb_drehung_270));
    rotation->addStretch();
    right->addWidget(label("Label25"), row, 0);
    right->addLayout(rotation, row++, 1);

    right->addItem(new QSpacerItem(0, 4), row++, 0);
    right->addWidget(heading("Label14"), row++, 0, 1, 2);
    auto* colours = new QGridLayout;
    colours->setHorizontalSpacing(6);
    colours->setVerticalSpacing(5);
    m_fontColor = new ColorField(m_settings, Setting::act_text_fontcolor);
    m_backColor = new ColorField(m_settings, Setting::act_text_hintergrund);
    for (ColorField* f : {m_fontColor, m_backColor})
        f->setFixedWidth(f->fontMetrics().horizontalAdvance(QStringLiteral("#WWWWWW")) + 14);
    auto* bitBtn14 = named(new QPushButton, "BitBtn14");
    auto* bitBtn15 = named(new QPushButton, "BitBtn15");
    m_fontPipette = named(new PipetteButton(m_pipetteState), "BitBtn13");
    m_backPipette = named(new PipetteButton(m_pipetteState), "BitBtn16");
    // The tool's name reads the same in both languages; its tip comes with the language.
    for (PipetteButton* p : {m_fontPipette, m_backPipette})
        p->setText(QStringLiteral("Pipette"));
    colours->addWidget(m_fontColor, 0, 0);
    colours->addWidget(bitBtn14, 0, 1);
    colours->addWidget(m_fontPipette, 0, 2);
    colours->addWidget(m_backColor, 1, 0);
    colours->addWidget(bitBtn15, 1, 1);
    colours->addWidget(m_backPipette, 1, 2);
    colours->addWidget(named(new QCheckBox, Setting::cb_transparent), 2, 0, 1, 3);
    colours->setColumnStretch(1, 1);
    right->addLayout(colours, row++, 0, 1, 2);
    m_pipetteNote = label("pipetteNote");
    m_pipetteNote->setWordWrap(true);
    m_pipetteNote->setVisible(false);
    right->addWidget(m_pipetteNote, row++, 0, 1, 2);
    right->setRowStretch(row, 1);
    right->setColumnStretch(1, 1);
    columns->addLayout(right, 7);

    connect(m_fontList, &FontListBox::fontChosen, this, [this](const QString& name) {
        // A click on the entry that is already chosen changes nothing.
        if (m_settings.fontListSelected() && m_settings.text(Setting::label2) == name)
            return;
        m_settings.setText(Setting::label2, name);
        m_settings.setFontListSelected(true);
        emit previewWanted();
    });
    connect(bitBtn14, &QPushButton::clicked, this, [this] { chooseColor(m_fontColor); });
    connect(bitBtn15, &QPushButton::clicked, this, [this] { chooseColor(m_backColor); });
    for (auto [pipette, field] : {std::pair{m_fontPipette, m_fontColor}, std::pair{m_backPipette, m_backColor}}) {
        ColorField* target = field;
        connect(pipette, &PipetteButton::colorPicked, this,
                [this, target](const QColor& c) { pickColor(target, c); });
        connect(pipette, &PipetteButton::pickingFinished, this, &FontPage::previewWanted);
        connect(pipette, &PipetteButton::screenUnreadable, m_pipetteNote, &QWidget::show);
    }
    if (PipetteButton::platformForbidsScreenReading())
        m_pipetteNote->show();

    bindSettings(binder);
    connect(&m_settings, &SettingsModel::changed, this, [this](Setting name) {
        if (name == Setting::label2)
            updateFaceNote();
    });
}

void FontPage::bindSettings(SettingBinder& b)
{
    for (const Setting radio : {Setting::rb_drehung_0, Setting::rb_drehung_90, Setting::rb_drehung_180, Setting::rb_drehung_270})
        b.bindRadio(radio, qobject_cast<QAbstractButton*>(control(radio)));
    for (const Setting check :
         {Setting::cb_bold, Setting::cb_italic, Setting::cb_underline, Setting::cb_strikeout, Setting::cb_transparent})
        b.bindCheckBox(check, qobject_cast<QAbstractButton*>(control(check)));
    for (const Setting edit : {Setting::act_text_fontcolor, Setting::act_text_hintergrund, Setting::label2})
        b.bindLineEdit(edit, qobject_cast<QLineEdit*>(control(edit)));
    b.bindComboBox(Setting::FSize, qobject_cast<QComboBox*>(control(Setting::FSize)),
                   SettingsModel::fontSizeProposals());
    b.bindArrows(Setting::FSize, findChild<ArrowButtons*>(QStringLiteral("UpDown1")), control(Setting::FSize));
}

void FontPage::selectFontForLabel()
{
    m_fontList->selectName(m_settings.text(Setting::label2));
}

void FontPage::updateFaceNote()
{
    // The configured name stays as it is; the note names the face the images are drawn in.
    const QString drawn = substituteFace(m_settings);
    if (!drawn.isEmpty())
        m_faceNote->setText(missingFaceNote(m_settings.text(Setting::label2), drawn, Language::code()));
    m_faceNote->setVisible(!drawn.isEmpty());
}

void FontPage::chooseColor(ColorField* field)
{
    if (!m_dialogs.chooseColor)
        return;
    const std::optional<QColor> colour = m_dialogs.chooseColor(field->fieldColor());
    if (!colour || !colour->isValid())
        return;
    m_settings.setText(field->setting(), SettingsModel::colorText(*colour));
    emit previewWanted();
}

void FontPage::pickColor(ColorField* field, const QColor& colour)
{
    // The field's change handling takes over the colour and redraws the preview.
    m_settings.setText(field->setting(), SettingsModel::colorText(colour));
}

} // namespace qp
