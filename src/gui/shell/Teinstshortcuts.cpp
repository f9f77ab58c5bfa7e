// SPDX-License-Identifier: MIT
#include "gui/shell/Teinstshortcuts.h"

#include "core/i18n/Catalog.h"
#include "core/i18n/Language.h"
#include "core/run/PathShortening.h"
#include "core/settings/SettingsModel.h"
#include "core/shell/ShellBackend.h"
#include "gui/i18n/CatalogTexts.h"
#include "gui/run/SecondaryWindow.h"
#include "gui/settings/SettingBinder.h"

#include <QCoreApplication>
#include <QFrame>
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

QLabel* boldText(QWidget* owner, const char* name)
{
    QLabel* label = text(owner, name);
    QFont bold = label->font();
    bold.setBold(true);
    label->setFont(bold);
    return label;
}

void showColoured(QLabel* label, const StatusDisplay& display)
{
    label->setText(display.text);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, display.color);
    label->setPalette(palette);
}

QString shellText(const char* control)
{
    return catalogText(QStringLiteral("einstshortcuts"), QString::fromLatin1(control));
}

struct GroupControls {
    ShellGroup group;
    const char* status;
    const char* registerButton;
    const char* removeButton;
};

constexpr GroupControls kGroups[] = {
    {ShellGroup::Config, "ver_konfig", "KonfigAn", "KonfigAus"},
    {ShellGroup::SendTo, "ver_sendenan", "SendenAnAn", "SendenAnAus"},
    {ShellGroup::Folders, "ver_ordner", "OrdnerAn", "OrdnerAus"},
    {ShellGroup::Files, "ver_alledateien", "AlleDateienAn", "AlleDateienAus"},
    {ShellGroup::Types, "ver_beliebig", "BeliebigeDateienAn", "BeliebigeDateienAus"},
};

QPushButton* button(QWidget* owner, const char* name)
{
    auto* b = named(new QPushButton(owner), name);
    b->setAutoDefault(false);
    return b;
}

// "Status:" with its state, then what follows at the right.
QHBoxLayout* statusLine(QWidget* owner, const GroupControls& g)
{
    auto* row = new QHBoxLayout;
    row->addWidget(new QLabel(QStringLiteral("Status:"), owner));
    row->addWidget(boldText(owner, g.status));
    row->addStretch(1);
    return row;
}

// The status line with the register and remove buttons at the right.
QHBoxLayout* statusRow(QWidget* owner, const GroupControls& g)
{
    QHBoxLayout* row = statusLine(owner, g);
    row->addWidget(button(owner, g.registerButton));
    row->addWidget(button(owner, g.removeButton));
    return row;
}

QGroupBox* group(QWidget* owner, const char* name, const char* description, const GroupControls& g)
{
    auto* box = named(new QGroupBox(owner), name);
    auto* layout = new QVBoxLayout(box);
    layout->addWidget(text(box, description));
    layout->addLayout(statusRow(box, g));
    return box;
}

} // namespace

Teinstshortcuts::Teinstshortcuts(SettingsModel& settings, QWidget* parent, std::unique_ptr<ShellBackend> backend)
    : QDialog(parent, secondaryWindowFlags(parent)), m_settings(settings), m_backend(std::move(backend))
{
    if (!m_backend)
        m_backend = createShellBackend(QCoreApplication::applicationFilePath());
    setObjectName(QStringLiteral("einstshortcuts"));
    setModal(false);

    // Administrator lines and the restart with elevation.
    m_adminLabel = boldText(this, "Label9");
    m_restart = button(this, "AlsAdminStarten");
    m_elevationNote = text(this, "elevationNote");
    m_elevationNote->setWordWrap(true);
    m_elevationNote->hide();
    auto* admin = new QVBoxLayout;
    admin->setSpacing(6);
    admin->addWidget(text(this, "Label6"));
    // In place of Label6 where registration works per user.
    admin->addWidget(text(this, "bereichHinweis"));
    admin->addWidget(m_adminLabel);
    admin->addWidget(m_restart, 0, Qt::AlignRight);
    admin->addWidget(m_elevationNote);

    auto* files = group(this, "gb4", "Label10", kGroups[3]);
    auto* filesLayout = static_cast<QVBoxLayout*>(files->layout());
    auto* separator = new QFrame(files);
    separator->setFrameShape(QFrame::HLine);
    separator->setFrameShadow(QFrame::Sunken);
    filesLayout->addSpacing(4);
    filesLayout->addWidget(separator);
    filesLayout->addSpacing(4);
    filesLayout->addWidget(text(files, "Label3"));
    auto* chosen = new QHBoxLayout;
    auto* extensions = named(new QLineEdit(files), Setting::beldateien);
    auto* binder = new SettingBinder(settings, this);
    binder->bindLineEdit(Setting::beldateien, extensions);
    chosen->addWidget(extensions, 1);
    chosen->addWidget(button(files, kGroups[4].registerButton));
    chosen->addWidget(button(files, kGroups[4].removeButton));
    filesLayout->addLayout(chosen);
    filesLayout->addLayout(statusLine(files, kGroups[4]));
    // The status of the chosen extensions follows the field as it is typed.
    connect(extensions, &QLineEdit::textChanged, this, [this] { showStatus(ShellGroup::Types); });

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
    auto* config = group(this, "gb1", "Label1", kGroups[0]);
    m_configEntry = text(config, "konfigEintrag");
    m_configEntry->setWordWrap(true);
    m_configEntry->hide();
    config->layout()->addWidget(m_configEntry);
    layout->addWidget(config);
    layout->addWidget(group(this, "gb2", "Label7", kGroups[1]));
    layout->addWidget(group(this, "gb3", "Label4", kGroups[2]));
    layout->addWidget(files);
    layout->addLayout(buttons);

    for (const GroupControls& g : kGroups) {
        connect(findChild<QPushButton*>(QString::fromLatin1(g.registerButton)), &QPushButton::clicked, this,
                [this, group = g.group] { registerClicked(group); });
        connect(findChild<QPushButton*>(QString::fromLatin1(g.removeButton)), &QPushButton::clicked, this,
                [this, group = g.group] { removeClicked(group); });
    }
    connect(m_restart, &QPushButton::clicked, this, &Teinstshortcuts::AlsAdminStartenClick);

    Sprache();
}

Teinstshortcuts::~Teinstshortcuts() = default;

void Teinstshortcuts::Sprache()
{
    applyCatalogTexts(this, QStringLiteral("einstshortcuts"));
    CheckShortCuts();
    showAdminState();
    showElevation(m_elevation);
}

void Teinstshortcuts::CheckShortCuts()
{
    for (const GroupControls& g : kGroups)
        showStatus(g.group);
    // Which entry opens configuration files with this program, when the desktop names one.
    const QString entry = m_backend->configurationEntry();
    m_configEntry->setVisible(!entry.isEmpty());
    m_configEntry->setText(entry.isEmpty() ? QString() : shellText("konfig_eintrag").arg(HomeShortened(entry)));
    m_configEntry->setToolTip(entry);
}

void Teinstshortcuts::showStatus(ShellGroup group)
{
    for (const GroupControls& g : kGroups) {
        if (g.group != group)
            continue;
        const QStringList extensions = group == ShellGroup::Types ? chosenExtensions() : QStringList();
        if (auto* label = findChild<QLabel*>(QString::fromLatin1(g.status)))
            showColoured(label, shortcutStatusDisplay(m_backend->isActive(group, extensions), Language::code()));
    }
}

QStringList Teinstshortcuts::chosenExtensions() const
{
    return parseChosenExtensions(m_settings.text(Setting::beldateien));
}

void Teinstshortcuts::registerClicked(ShellGroup group)
{
    m_backend->registerGroup(group, group == ShellGroup::Types ? chosenExtensions() : QStringList());
    CheckShortCuts();
}

void Teinstshortcuts::removeClicked(ShellGroup group)
{
    m_backend->removeGroup(group, group == ShellGroup::Types ? chosenExtensions() : QStringList());
    CheckShortCuts();
}

void Teinstshortcuts::showAdminState()
{
    const bool admin = m_backend->isAdmin();
    if (m_backend->registersPerUser()) {
        // Registration works without administrator rights here: say for whom it applies instead
        // of asking for an administrator.
        findChild<QLabel*>(QStringLiteral("bereichHinweis"))->setText(shellText("bereich_hinweis"));
        showColoured(m_adminLabel, registrationScopeDisplay(admin, Language::code()));
    } else {
        showColoured(m_adminLabel, adminStatusDisplay(admin, Language::code()));
    }
    findChild<QLabel*>(QStringLiteral("Label6"))->setVisible(!m_backend->registersPerUser());
    findChild<QLabel*>(QStringLiteral("bereichHinweis"))->setVisible(m_backend->registersPerUser());
    const ElevationSupport support = m_backend->elevationSupport();
    m_restart->setEnabled(!admin && support.available && m_elevation != Elevation::Waiting);
    m_restart->setToolTip(admin ? QString() : support.reason);
}

void Teinstshortcuts::showElevation(Elevation state)
{
    m_elevation = state;
    const char* row = nullptr;
    switch (state) {
    case Elevation::None: break;
    case Elevation::Waiting: row = "admin_wartet"; break;
    case Elevation::Declined: row = "admin_abgelehnt"; break;
    case Elevation::Failed: row = "admin_fehlgeschlagen"; break;
    }
    m_elevationNote->setVisible(row != nullptr);
    if (row)
        showColoured(m_elevationNote, {shellText(row), state == Elevation::Waiting ? QColor(0, 0, 0)
                                                                                   : QColor(255, 0, 0)});
}

void Teinstshortcuts::AlsAdminStartenClick()
{
    if (m_attempt)
        return;
    m_attempt = m_backend->restartAsAdmin(this);
    if (!m_attempt) {
        showElevation(Elevation::Failed);
        return;
    }
    showElevation(Elevation::Waiting);
    m_restart->setEnabled(false);
    // The current instance ends only once the elevated one runs; a declined or failed start
    // keeps it, with everything the user has not saved, and says so here.
    connect(m_attempt, &ElevatedStart::started, this, [this] {
        m_attempt->deleteLater();
        showElevation(Elevation::None);
        if (m_endProgram)
            m_endProgram();
    });
    connect(m_attempt, &ElevatedStart::failed, this, [this](bool declined) {
        m_attempt->deleteLater();
        m_attempt = nullptr;
        showElevation(declined ? Elevation::Declined : Elevation::Failed);
        showAdminState();
    });
}

void Teinstshortcuts::showEvent(QShowEvent* event)
{
    if (!m_placed) {
        m_placed = true;
        placeOver(this, nullptr);
    }
    CheckShortCuts();
    QDialog::showEvent(event);
}

} // namespace qp
