#include "shell/Teinstshortcuts.h"

#include "run/SecondaryWindow.h"
#include "settings/SettingBinder.h"
#include "settings/SettingsModel.h"

#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace qp {

namespace {

QLabel* text(QWidget* owner, const char* name)
{
    auto* label = named(new QLabel(owner), name);
    label->setTextFormat(Qt::PlainText);
    return label;
}

// "Status:" with its state and the register and remove buttons at the right.
QHBoxLayout* statusRow(QWidget* owner, const char* statusName, const char* registerName, const char* removeName)
{
    auto* row = new QHBoxLayout;
    auto* caption = new QLabel(QStringLiteral("Status:"), owner);
    auto* status = named(new QLabel(QStringLiteral("–"), owner), statusName);
    QFont bold = status->font();
    bold.setBold(true);
    status->setFont(bold);
    status->setEnabled(false);
    row->addWidget(caption);
    row->addWidget(status);
    row->addStretch(1);
    for (const char* name : {registerName, removeName}) {
        auto* button = named(new QPushButton(owner), name);
        button->setEnabled(false);
        button->setAutoDefault(false);
        row->addWidget(button);
    }
    return row;
}

QGroupBox* group(QWidget* owner, const char* name, const char* description, const char* statusName,
                 const char* registerName, const char* removeName)
{
    auto* box = named(new QGroupBox(owner), name);
    auto* layout = new QVBoxLayout(box);
    layout->addWidget(text(box, description));
    layout->addLayout(statusRow(box, statusName, registerName, removeName));
    return box;
}

} // namespace

Teinstshortcuts::Teinstshortcuts(SettingsModel& settings, QWidget* parent)
    : QDialog(parent, secondaryWindowFlags(parent)), m_settings(settings)
{
    setObjectName(QStringLiteral("einstshortcuts"));
    setModal(false);

    // Administrator line and the restart with elevation.
    auto* adminText = text(this, "Label6");
    auto* restart = named(new QPushButton(this), "AlsAdminStarten");
    restart->setEnabled(false);
    restart->setAutoDefault(false);
    auto* admin = new QVBoxLayout;
    admin->setSpacing(6);
    admin->addWidget(adminText);
    admin->addWidget(restart, 0, Qt::AlignRight);

    auto* files = group(this, "gb4", "Label10", "ver_alledateien", "AlleDateienAn", "AlleDateienAus");
    auto* filesLayout = static_cast<QVBoxLayout*>(files->layout());
    auto* separator = new QFrame(files);
    separator->setFrameShape(QFrame::HLine);
    separator->setFrameShadow(QFrame::Sunken);
    filesLayout->addSpacing(4);
    filesLayout->addWidget(separator);
    filesLayout->addSpacing(4);
    filesLayout->addWidget(text(files, "Label3"));
    auto* chosen = new QHBoxLayout;
    auto* extensions = named(new QLineEdit(files), "beldateien");
    auto* binder = new SettingBinder(settings, this);
    binder->bindLineEdit(QStringLiteral("beldateien"), extensions);
    chosen->addWidget(extensions, 1);
    for (const char* name : {"BeliebigeDateienAn", "BeliebigeDateienAus"}) {
        auto* button = named(new QPushButton(files), name);
        button->setEnabled(false);
        button->setAutoDefault(false);
        chosen->addWidget(button);
    }
    filesLayout->addLayout(chosen);

    auto* ok = named(new QPushButton(this), "OK");
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok);

    auto* layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->setContentsMargins(12, 12, 12, 12);
    layout->setSpacing(10);
    layout->addLayout(admin);
    layout->addWidget(group(this, "gb1", "Label1", "ver_konfig", "KonfigAn", "KonfigAus"));
    layout->addWidget(group(this, "gb2", "Label7", "ver_sendenan", "SendenAnAn", "SendenAnAus"));
    layout->addWidget(group(this, "gb3", "Label4", "ver_ordner", "OrdnerAn", "OrdnerAus"));
    layout->addWidget(files);
    layout->addLayout(buttons);

    Sprache();
}

void Teinstshortcuts::Sprache()
{
    applyCatalogTexts(this, QStringLiteral("einstshortcuts"));
}

void Teinstshortcuts::showEvent(QShowEvent* event)
{
    if (!m_placed) {
        m_placed = true;
        placeOver(this, nullptr);
    }
    QDialog::showEvent(event);
}

} // namespace qp
