// SPDX-License-Identifier: MIT
#include "gui/render/MarginsPage.h"

#include "gui/app/Named.h"
#include "gui/settings/ArrowButtons.h"
#include "gui/settings/SettingBinder.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

namespace qp {

MarginsPage::MarginsPage(SettingBinder& binder) : SettingsPage("einst_abstand", "gb3")
{
    auto* columns = new QHBoxLayout(group());
    columns->setSpacing(18);
    const int indent = 22;

    // Left: size mode, then the alignment.
    auto* left = new QGridLayout;
    left->setHorizontalSpacing(6);
    left->setVerticalSpacing(2);
    left->setColumnMinimumWidth(0, indent);
    int row = 0;
    left->addWidget(named(new QRadioButton, Setting::abstand_var), row++, 0, 1, 3);
    left->addWidget(label("Label17"), row++, 1, 1, 2);
    left->addWidget(named(new QCheckBox, Setting::max_breite), row, 1);
    auto* bmax = named(new QLineEdit, Setting::abs_bmax);
    bmax->setFixedWidth(60);
    left->addWidget(bmax, row++, 2, Qt::AlignLeft);
    auto* wrapHint = new QVBoxLayout;
    wrapHint->setSpacing(0);
    wrapHint->addWidget(label("Label23"));
    wrapHint->addWidget(label("Label24"));
    left->addLayout(wrapHint, row++, 1, 1, 2);
    left->addItem(new QSpacerItem(0, 4), row++, 0);
    left->addWidget(named(new QRadioButton, Setting::abstand_fix), row++, 0, 1, 3);
    left->addWidget(label("Label19"), row++, 1, 1, 2);
    auto* sizeRow = new QHBoxLayout;
    sizeRow->setSpacing(6);
    auto* absB = named(new QLineEdit, Setting::abs_b);
    auto* absH = named(new QLineEdit, Setting::abs_h);
    absB->setFixedWidth(60);
    absH->setFixedWidth(60);
    sizeRow->addWidget(label("Label3"));
    sizeRow->addWidget(absB);
    sizeRow->addSpacing(12);
    sizeRow->addWidget(label("Label4"));
    sizeRow->addWidget(absH);
    sizeRow->addStretch();
    left->addLayout(sizeRow, row++, 1, 1, 2);
    left->addWidget(named(new QCheckBox, Setting::fix_wrap), row++, 1, 1, 2);
    left->addWidget(named(new QCheckBox, Setting::cb_fitbox), row++, 1, 1, 2);
    left->addItem(new QSpacerItem(0, 4), row++, 0);
    left->addWidget(heading("Label20"), row++, 0, 1, 3);
    auto* panel3 = named(new QWidget, Setting::Panel3);
    auto* align = new QHBoxLayout(panel3);
    align->setContentsMargins(0, 0, 0, 0);
    align->setSpacing(8);
    align->addWidget(named(new QRadioButton, Setting::rb_alleft));
    align->addWidget(named(new QRadioButton, Setting::rb_alright));
    align->addWidget(named(new QRadioButton, Setting::rb_alcenter));
    align->addWidget(named(new QRadioButton, Setting::rb_aljustify));
    align->addStretch();
    left->addWidget(panel3, row++, 1, 1, 2);
    left->setRowStretch(row, 1);
    left->setColumnStretch(2, 1);
    columns->addLayout(left, 1);

    // Right: margins and line spacing, one per row, with the two tips below.
    auto* right = new QGridLayout;
    right->setHorizontalSpacing(8);
    right->setVerticalSpacing(4);
    row = 0;
    right->addWidget(heading("Label18"), row++, 0, 1, 2);
    auto margin = [&](const char* labelName, Setting field, const char* arrows) {
        auto* edit = named(new QLineEdit, field);
        edit->setFixedWidth(64);
        auto* ud = named(new ArrowButtons, arrows);
        right->addWidget(label(labelName), row, 0);
        right->addWidget(withArrows(edit, ud), row++, 1, Qt::AlignLeft);
    };
    margin("Label5", Setting::abs_o, "UpDownO");
    margin("Label6", Setting::abs_u, "UpDownU");
    margin("Label11", Setting::abs_l, "UpDownL");
    margin("Label10", Setting::abs_r, "UpDownR");
    margin("Label1", Setting::abs_z, "UpDown2");
    right->addWidget(named(new QCheckBox, Setting::cb_inkbox), row++, 0, 1, 2);
    right->addItem(new QSpacerItem(0, 6), row++, 0);
    for (const char* name : {"Label15", "Label21"}) {
        QLabel* tip = hint(name);
        tip->setForegroundRole(QPalette::PlaceholderText);
        QFont f = tip->font();
        f.setPointSizeF(f.pointSizeF() * 0.9);
        tip->setFont(f);
        tip->setFixedWidth(190);
        right->addWidget(tip, row++, 0, 1, 2);
    }
    right->setRowStretch(row, 1);
    columns->addLayout(right, 0);

    bindSettings(binder);
}

void MarginsPage::bindSettings(SettingBinder& b)
{
    b.bindPanel(Setting::Panel3, control(Setting::Panel3));
    for (const Setting radio : {Setting::abstand_var, Setting::abstand_fix, Setting::rb_alleft, Setting::rb_alright, Setting::rb_alcenter,
                                Setting::rb_aljustify})
        b.bindRadio(radio, qobject_cast<QAbstractButton*>(control(radio)));
    for (const Setting check : {Setting::fix_wrap, Setting::max_breite, Setting::cb_fitbox, Setting::cb_inkbox})
        b.bindCheckBox(check, qobject_cast<QAbstractButton*>(control(check)));
    for (const Setting edit : {Setting::abs_h, Setting::abs_b, Setting::abs_u, Setting::abs_o, Setting::abs_l, Setting::abs_r, Setting::abs_z, Setting::abs_bmax})
        b.bindLineEdit(edit, qobject_cast<QLineEdit*>(control(edit)));

    b.bindArrows(Setting::abs_z, findChild<ArrowButtons*>(QStringLiteral("UpDown2")), control(Setting::abs_z));
    b.bindArrows(Setting::abs_o, findChild<ArrowButtons*>(QStringLiteral("UpDownO")), control(Setting::abs_o));
    b.bindArrows(Setting::abs_u, findChild<ArrowButtons*>(QStringLiteral("UpDownU")), control(Setting::abs_u));
    b.bindArrows(Setting::abs_l, findChild<ArrowButtons*>(QStringLiteral("UpDownL")), control(Setting::abs_l));
    b.bindArrows(Setting::abs_r, findChild<ArrowButtons*>(QStringLiteral("UpDownR")), control(Setting::abs_r));

    // Size mode: the maximum width belongs to the variable size, width, height and wrapping to
    // the fixed size; each label shares the state of the control it explains.
    for (const Setting key : {Setting::max_breite, Setting::abs_bmax, Setting::abs_b, Setting::abs_h, Setting::fix_wrap,
                              Setting::cb_fitbox})
        b.bindEnabled(key, control(key));
    const std::pair<const char*, Setting> labels[] = {{"Label23", Setting::max_breite},
                                                      {"Label24", Setting::max_breite},
                                                      {"Label3", Setting::abs_b},
                                                      {"Label4", Setting::abs_h}};
    for (const auto& [label, setting] : labels)
        b.bindEnabled(setting, control(label));
}

} // namespace qp
