// SPDX-License-Identifier: MIT
#include "render/MarginsPage.h"

#include "app/Named.h"
#include "settings/ArrowButtons.h"
#include "settings/SettingBinder.h"

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
    left->setVerticalSpacing(3);
    left->setColumnMinimumWidth(0, indent);
    int row = 0;
    left->addWidget(named(new QRadioButton, "abstand_var"), row++, 0, 1, 3);
    left->addWidget(label("Label17"), row++, 1, 1, 2);
    left->addWidget(named(new QCheckBox, "max_breite"), row, 1);
    auto* bmax = named(new QLineEdit, "abs_bmax");
    bmax->setFixedWidth(60);
    left->addWidget(bmax, row++, 2, Qt::AlignLeft);
    auto* wrapHint = new QVBoxLayout;
    wrapHint->setSpacing(0);
    wrapHint->addWidget(label("Label23"));
    wrapHint->addWidget(label("Label24"));
    left->addLayout(wrapHint, row++, 1, 1, 2);
    left->addItem(new QSpacerItem(0, 8), row++, 0);
    left->addWidget(named(new QRadioButton, "abstand_fix"), row++, 0, 1, 3);
    left->addWidget(label("Label19"), row++, 1, 1, 2);
    auto* sizeRow = new QHBoxLayout;
    sizeRow->setSpacing(6);
    auto* absB = named(new QLineEdit, "abs_b");
    auto* absH = named(new QLineEdit, "abs_h");
    absB->setFixedWidth(60);
    absH->setFixedWidth(60);
    sizeRow->addWidget(label("Label3"));
    sizeRow->addWidget(absB);
    sizeRow->addSpacing(12);
    sizeRow->addWidget(label("Label4"));
    sizeRow->addWidget(absH);
    sizeRow->addStretch();
    left->addLayout(sizeRow, row++, 1, 1, 2);
    left->addWidget(named(new QCheckBox, "fix_wrap"), row++, 1, 1, 2);
    left->addItem(new QSpacerItem(0, 10), row++, 0);
    left->addWidget(heading("Label20"), row++, 0, 1, 3);
    auto* panel3 = named(new QWidget, "Panel3");
    auto* align = new QHBoxLayout(panel3);
    align->setContentsMargins(0, 0, 0, 0);
    align->setSpacing(14);
    align->addWidget(named(new QRadioButton, "rb_alleft"));
    align->addWidget(named(new QRadioButton, "rb_alright"));
    align->addWidget(named(new QRadioButton, "rb_alcenter"));
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
    auto margin = [&](const char* labelName, const char* field, const char* arrows) {
        auto* edit = named(new QLineEdit, field);
        edit->setFixedWidth(64);
        auto* ud = named(new ArrowButtons, arrows);
        right->addWidget(label(labelName), row, 0);
        right->addWidget(withArrows(edit, ud), row++, 1, Qt::AlignLeft);
    };
    margin("Label5", "abs_o", "UpDownO");
    margin("Label6", "abs_u", "UpDownU");
    margin("Label11", "abs_l", "UpDownL");
    margin("Label10", "abs_r", "UpDownR");
    margin("Label1", "abs_z", "UpDown2");
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
    b.bindPanel(QStringLiteral("Panel3"), control("Panel3"));
    for (const char* radio : {"abstand_var", "abstand_fix", "rb_alleft", "rb_alright", "rb_alcenter"})
        b.bindRadio(QString::fromLatin1(radio), qobject_cast<QAbstractButton*>(control(radio)));
    for (const char* check : {"fix_wrap", "max_breite"})
        b.bindCheckBox(QString::fromLatin1(check), qobject_cast<QAbstractButton*>(control(check)));
    for (const char* edit : {"abs_h", "abs_b", "abs_u", "abs_o", "abs_l", "abs_r", "abs_z", "abs_bmax"})
        b.bindLineEdit(QString::fromLatin1(edit), qobject_cast<QLineEdit*>(control(edit)));

    b.bindArrows(QStringLiteral("abs_z"), findChild<ArrowButtons*>(QStringLiteral("UpDown2")), control("abs_z"));
    b.bindArrows(QStringLiteral("abs_o"), findChild<ArrowButtons*>(QStringLiteral("UpDownO")), control("abs_o"));
    b.bindArrows(QStringLiteral("abs_u"), findChild<ArrowButtons*>(QStringLiteral("UpDownU")), control("abs_u"));
    b.bindArrows(QStringLiteral("abs_l"), findChild<ArrowButtons*>(QStringLiteral("UpDownL")), control("abs_l"));
    b.bindArrows(QStringLiteral("abs_r"), findChild<ArrowButtons*>(QStringLiteral("UpDownR")), control("abs_r"));

    // Size mode: the maximum width belongs to the variable size, width, height and wrapping to
    // the fixed size; each label shares the state of the control it explains.
    const std::pair<const char*, const char*> enabling[] = {
        {"max_breite", "max_breite"}, {"abs_bmax", "abs_bmax"}, {"Label23", "max_breite"},
        {"Label24", "max_breite"},    {"abs_b", "abs_b"},       {"Label3", "abs_b"},
        {"abs_h", "abs_h"},           {"Label4", "abs_h"},      {"fix_wrap", "fix_wrap"}};
    for (const auto& [widget, setting] : enabling)
        b.bindEnabled(QString::fromLatin1(setting), control(widget));
}

} // namespace qp
