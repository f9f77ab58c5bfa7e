// SPDX-License-Identifier: MIT
#include "run/Toptionen_name.h"

#include "i18n/CatalogTexts.h"
#include "run/SecondaryWindow.h"
#include "settings/SettingBinder.h"
#include "settings/SettingsModel.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace qp {

Toptionen_name::Toptionen_name(SettingsModel& settings, QWidget* parent)
    : QDialog(parent, secondaryWindowFlags(parent)), m_settings(settings)
{
    setObjectName(QStringLiteral("optionen_name"));
    setModal(false);

    auto* binder = new SettingBinder(settings, this);
    auto check = [&](QWidget* owner, const char* name) {
        auto* box = named(new QCheckBox(owner), name);
        binder->bindCheckBox(QString::fromLatin1(name), box);
        return box;
    };
    auto radio = [&](QWidget* owner, const char* name) {
        auto* button = named(new QRadioButton(owner), name);
        binder->bindRadio(QString::fromLatin1(name), button);
        return button;
    };
    // Short fields (a number, a replacement) share one width so that they line up.
    const int shortWidth = fontMetrics().horizontalAdvance(QStringLiteral("00000")) + 16;
    auto edit = [&](QWidget* owner, const char* name, bool isShort) {
        auto* field = named(new QLineEdit(owner), name);
        binder->bindLineEdit(QString::fromLatin1(name), field);
        if (isShort)
            field->setFixedWidth(shortWidth);
        return field;
    };

    // Case of the names.
    auto* caseGroup = named(new QGroupBox(this), "gb1");
    auto* caseLayout = new QVBoxLayout(caseGroup);
    caseLayout->addWidget(radio(caseGroup, "cb_lower"));
    caseLayout->addWidget(radio(caseGroup, "cb_upper"));
    caseLayout->addWidget(radio(caseGroup, "cb_keine"));

    // Numbering.
    auto* numberGroup = named(new QGroupBox(this), "gb2");
    auto* numberLayout = new QGridLayout(numberGroup);
    numberLayout->setColumnStretch(2, 1);
    numberLayout->addWidget(check(numberGroup, "cb_numsofort"), 0, 0, 1, 3);
    numberLayout->addWidget(check(numberGroup, "cb_num"), 1, 0);
    numberLayout->addWidget(edit(numberGroup, "ed_num", true), 1, 1);

    // Writing of the names: allowed characters, length and replacements.
    auto* writingGroup = named(new QGroupBox(this), "gb3");
    auto* writingLayout = new QGridLayout(writingGroup);
    writingLayout->setColumnStretch(2, 1);
    writingLayout->addWidget(check(writingGroup, "cb_buchst"), 0, 0, 1, 3);
    writingLayout->addWidget(edit(writingGroup, "ed_buchst", false), 1, 0, 1, 3);
    writingLayout->setRowMinimumHeight(2, 6);
    writingLayout->addWidget(check(writingGroup, "cb_max"), 3, 0);
    writingLayout->addWidget(edit(writingGroup, "ed_max", true), 3, 1);
    writingLayout->addWidget(check(writingGroup, "cb_leerzeichen"), 4, 0);
    writingLayout->addWidget(edit(writingGroup, "ed_leerzeichen", true), 4, 1);
    writingLayout->addWidget(check(writingGroup, "cb_ersatz"), 5, 0);
    writingLayout->addWidget(edit(writingGroup, "ed_ersatz", true), 5, 1);

    auto* tip = named(new QLabel(this), "Label1");
    tip->setTextFormat(Qt::PlainText);
    tip->setWordWrap(true);

    auto* ok = named(new QPushButton(QStringLiteral("OK"), this), "Button1");
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(tip, 1);
    buttons->addSpacing(12);
    buttons->addWidget(ok, 0, Qt::AlignBottom);

    auto* layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->setContentsMargins(12, 12, 12, 12);
    layout->setSpacing(10);
    layout->addWidget(caseGroup);
    layout->addWidget(numberGroup);
    layout->addWidget(writingGroup);
    layout->addLayout(buttons);

    m_numberLayout = numberLayout;
    m_writingLayout = writingLayout;
    Sprache();
}

void Toptionen_name::Sprache()
{
    applyCatalogTexts(this, QStringLiteral("optionen_name"));
    // The number field lines up with the fields below it, whatever the captions' lengths.
    int captions = 0;
    for (const char* name : {"cb_num", "cb_max", "cb_leerzeichen", "cb_ersatz"})
        captions = std::max(captions, findChild<QWidget*>(QString::fromLatin1(name))->sizeHint().width());
    m_numberLayout->setColumnMinimumWidth(0, captions);
    m_writingLayout->setColumnMinimumWidth(0, captions);
}

} // namespace qp
