// SPDX-License-Identifier: MIT
#include "app/Tprog.h"

#include "app/ErrorBox.h"
#include "app/LinkCaptions.h"
#include "app/Named.h"
#include "app/TextLines.h"
#include "app/OneInstanceCheck.h"
#include "app/Tstart.h"
#include "app/ToolkitLanguage.h"
#include "i18n/Catalog.h"
#include "i18n/FormatNames.h"
#include "i18n/Language.h"
#include "i18n/SharedTexts.h"
#include "output/Toptionen.h"
#include "render/ColorField.h"
#include "render/FontFaces.h"
#include "render/FontListBox.h"
#include "render/PreviewBox.h"
#include "render/Renderer.h"
#include "run/GenerationRun.h"
#include "run/GuiRunView.h"
#include "run/Messages.h"
#include "run/Toptionen_name.h"
#include "run/Tsm_bearbeitung.h"
#include "run/Tsm_meldung.h"
#include "settings/ArrowButtons.h"
#include "settings/ConfigurationMenu.h"
#include "settings/SettingBinder.h"
#include "settings/SettingsModel.h"
#include "shell/Teinstshortcuts.h"

#include <QAction>
#include <QActionGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QColorDialog>
#include <QComboBox>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScopeGuard>
#include <QScreen>
#include <QScrollBar>
#include <QTabWidget>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>

#include <algorithm>

namespace qp {

namespace {

const QString kProg = QStringLiteral("prog");

QLabel* label(const char* name, QWidget* parent = nullptr)
{
    return named(new QLabel(parent), name);
}

// A label that explains a control below or beside it: indented, wrapping when narrow.
QLabel* hint(const char* name)
{
    QLabel* l = label(name);
    l->setWordWrap(true);
    return l;
}

QLabel* heading(const char* name)
{
    QLabel* l = label(name);
    QFont f = l->font();
    f.setBold(true);
    l->setFont(f);
    return l;
}

// A numeric field with arrow buttons beside it.
QWidget* withArrows(QWidget* field, ArrowButtons* arrows)
{
    auto* box = new QWidget;
    auto* h = new QHBoxLayout(box);
    h->setContentsMargins(0, 0, 0, 0);
    h->setSpacing(1);
    h->addWidget(field);
    h->addWidget(arrows);
    arrows->setFixedHeight(field->sizeHint().height());
    return box;
}

// A settings page holding one group box that fills it.
std::pair<QWidget*, QGroupBox*> settingsPage(const char* pageName, const char* groupName)
{
    auto* page = named(new QWidget, pageName);
    auto* v = new QVBoxLayout(page);
    v->setContentsMargins(8, 8, 8, 8);
    auto* group = named(new QGroupBox, groupName);
    v->addWidget(group);
    return {page, group};
}

} // namespace

Tprog::Tprog(SettingsModel& settings, Tstart& start, const QStringList& arguments, QWidget* parent)
    : QMainWindow(parent), m_settings(settings), m_start(&start), m_arguments(arguments)
{
    setObjectName(kProg);
    setMinimumSize(590, 450);
    // A window of its own on the desktop, with its own taskbar entry.
    setAttribute(Qt::WA_QuitOnClose, false);

    m_binder = new SettingBinder(m_settings, this);
    m_configMenu = std::make_unique<ConfigurationMenu>(m_settings, m_settings.programFolder());

    buildMenus();

    auto* panel1 = named(new QWidget, "Panel1");
    auto* outer = new QVBoxLayout(panel1);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);

    auto* panel5 = named(new QWidget, "Panel5");
    auto* middle = new QVBoxLayout(panel5);
    middle->setContentsMargins(8, 8, 8, 4);
    middle->setSpacing(8);

    auto* panel2 = named(new QWidget, "Panel2");
    auto* previewLayout = new QVBoxLayout(panel2);
    previewLayout->setContentsMargins(0, 0, 0, 0);
    m_preview = named(new PreviewBox, "vor_box");
    // In a small window the preview gives way to the pages down to a strip (it scrolls).
    m_preview->setMinimumHeight(48);
    previewLayout->addWidget(m_preview);
    middle->addWidget(panel2, 1);

    m_pages = named(new QTabWidget, "einst");
    m_pages->addTab(buildTextPage(), QString());
    m_pages->addTab(buildFontPage(), QString());
    m_pages->addTab(buildMarginsPage(), QString());
    m_pages->addTab(buildSavePage(), QString());
    m_pages->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    middle->addWidget(m_pages, 0);
    outer->addWidget(panel5, 1);
    outer->addWidget(buildBottomBar(), 0);
    setCentralWidget(panel1);

    bindSettings();
    installDefaultDialogs();

    connect(&m_settings, &SettingsModel::previewRequested, this, &Tprog::Vorschau);
    connect(&m_settings, &SettingsModel::changed, this, [this](const QString& name) {
        if (name == QLatin1String("txt_all") || name == QLatin1String("txt_line"))
            applyTextMode();
        else if (name == QLatin1String("label2"))
            updateFaceNote();
    });
    connect(&m_settings, &SettingsModel::autoSaveChoiceChanged, this, &Tprog::updateAutoSaveChecks);
    connect(m_preview, &PreviewBox::resized, this, &Tprog::Vorschau);
    connect(m_memo, &QPlainTextEdit::textChanged, this, &Tprog::Vorschau);
    m_memo->installEventFilter(this);
    m_memo->viewport()->installEventFilter(this);
    applyTextMode();
    updateAutoSaveChecks();

    // Configuration entries appear in the menu as the logic adds them.
    connect(m_configMenu.get(), &ConfigurationMenu::entryAdded, this,
            [this](const ConfigurationEntry& e) { addConfigurationEntry(e.path, e.caption); });
    ConfigurationHooks hooks;
    hooks.currentPlacement = [this] { return placement(); };
    hooks.screenSize = [this] { return screen() ? screen()->geometry().size() : QSize(); };
    hooks.applyPlacement = [this](const PlacementChange& change) { applyPlacement(change); };
    hooks.reapplyLanguage = [this] { sprachealles(); };
    hooks.refreshPreview = [this] {
        selectFontForLabel();
        Vorschau();
    };
    m_configMenu->setHooks(hooks);
    m_configMenu->setCaptionMetrics(
        [this](const QString& text) { return m_link->fontMetrics().horizontalAdvance(text); },
        [this] { return m_link->width(); });

    m_linkTimer = new QTimer(this);
    m_linkTimer->setInterval(10000);
    connect(m_linkTimer, &QTimer::timeout, this, &Tprog::Timer1Timer);

    // FormCreate, in its order.
    m_memo->setPlainText(QStringLiteral("Quillpress"));
    m_settings.setText(QStringLiteral("out_ordner"), m_settings.defaultOutputFolder());
    // The face name of the main window's own font, which the settings know as their default.
    m_settings.setText(QStringLiteral("label2"), QString::fromUtf8(SettingsModel::find(QStringLiteral("label2"))->defaultText));
    SpracheProg();

    // The pages keep one height whichever is shown; the preview takes what is left. Client area
    // 594 x 646 below the menu bar (whose height is known once it has its captions), centred.
    m_pages->setFixedHeight(m_pages->sizeHint().height());
    panel5->installEventFilter(this);
    setClientSize(QSize(594, 646));
    if (QScreen* s = QGuiApplication::primaryScreen()) {
        const QRect area = s->availableGeometry();
        move(area.center() - QPoint(width() / 2, height() / 2));
    }
    centralWidget()->layout()->activate();

    m_configMenu->startUpStepA();
    m_instanceCheck = std::make_unique<TOneInstanceCheck>();
    m_instanceCheck->OnNewInstance = [this](TOneInstanceCheck&, quint32, const QStringList& params, bool&) {
        HandleNewInstance(params);
    };
    m_instanceCheck->mainWindow = [this] { return windowHandle(); };
    m_pages->setCurrentIndex(0);
    m_fontList->fill(QFontDatabase::families());
    m_linkTimer->start();
}

Tprog::~Tprog() = default;

void Tprog::setWindows(const Windows& windows)
{
    m_windows = windows;
    if (m_windows.sm_bearbeitung && m_windows.sm_meldung)
        m_runView = std::make_unique<GuiRunView>(this, *m_windows.sm_bearbeitung, *m_windows.sm_meldung);
}

// ---------------------------------------------------------------------------------------------
// Building the window

QAction* Tprog::addAction(QMenu* menu, const QString& name, const QKeySequence& shortcut)
{
    auto* a = new QAction(this);
    a->setObjectName(name);
    if (!shortcut.isEmpty())
        a->setShortcut(shortcut);
    menu->addAction(a);
    m_actions.insert(name, a);
    return a;
}

void Tprog::buildMenus()
{
    QMenuBar* bar = menuBar();

    QMenu* datei = named(bar->addMenu(QString()), "m_datei");
    connect(addAction(datei, QStringLiteral("m_datei_konvert"), QKeySequence(Qt::CTRL | Qt::Key_S)),
            &QAction::triggered, this, &Tprog::durchfuehrenClick);
    connect(addAction(datei, QStringLiteral("m_datei_next"), QKeySequence(Qt::CTRL | Qt::Key_N)),
            &QAction::triggered, this, &Tprog::weiterClick);
    datei->addSeparator();
    connect(addAction(datei, QStringLiteral("m_bug")), &QAction::triggered, this, [this] {
        showWindow(Language::isGerman() ? m_windows.bugreport_de : m_windows.bugreport_en);
    });
    datei->addSeparator();
    connect(addAction(datei, QStringLiteral("m_datei_beenden")), &QAction::triggered, this,
            &Tprog::m_datei_beendenClick);

    QMenu* einst = named(bar->addMenu(QString()), "m_einst");
    connect(addAction(einst, QStringLiteral("m_einst_ausgabe")), &QAction::triggered, this,
            [this] { showWindow(m_windows.optionen); });
    connect(addAction(einst, QStringLiteral("m_einst_name")), &QAction::triggered, this,
            [this] { showWindow(m_windows.optionen_name); });
    connect(addAction(einst, QStringLiteral("m_einstshortcuts")), &QAction::triggered, this,
            [this] { showWindow(m_windows.einstshortcuts); });
    einst->addSeparator();
    QMenu* sprache = named(einst->addMenu(QString()), "m_einst_sprache");
    QAction* deutsch = addAction(sprache, QStringLiteral("m_einst_sprache_deutsch"));
    QAction* english = addAction(sprache, QStringLiteral("m_einst_sprache_english"));
    deutsch->setCheckable(true);
    english->setCheckable(true);
    auto* languages = new QActionGroup(this);
    languages->addAction(deutsch);
    languages->addAction(english);
    connect(deutsch, &QAction::triggered, this, [this] { setLanguage(QStringLiteral("de")); });
    connect(english, &QAction::triggered, this, [this] { setLanguage(QStringLiteral("en")); });

    m_konfigMenu = named(bar->addMenu(QString()), "m_konfig");
    connect(addAction(m_konfigMenu, QStringLiteral("m_konfig_save")), &QAction::triggered, this,
            &Tprog::KonfigurationSpeichernDialog);
    connect(addAction(m_konfigMenu, QStringLiteral("m_konfig_save_start")), &QAction::triggered,
            this, [this] { m_configMenu->saveStartConfiguration(); });
    connect(addAction(m_konfigMenu, QStringLiteral("m_konfig_load"), QKeySequence(Qt::CTRL | Qt::Key_K)),
            &QAction::triggered, this, &Tprog::KonfigurationLadenDialog);
    m_konfigMenu->addSeparator();
    QMenu* autosave = named(m_konfigMenu->addMenu(QString()), "m_konfig_autosave");
    QAction* nie = addAction(autosave, QStringLiteral("m_konfig_autosave_nie"));
    QAction* alles = addAction(autosave, QStringLiteral("m_konfig_autosave_alles"));
    nie->setCheckable(true);
    alles->setCheckable(true);
    connect(nie, &QAction::triggered, this, [this] {
        m_configMenu->chooseAutoSave(ConfigurationMenu::AutoSave::Never);
        updateAutoSaveChecks();
    });
    connect(alles, &QAction::triggered, this, [this] {
        m_configMenu->chooseAutoSave(ConfigurationMenu::AutoSave::All);
        updateAutoSaveChecks();
    });
    m_konfigMenu->addSeparator();
    connect(addAction(m_konfigMenu, QStringLiteral("m_konfig_standard"), QKeySequence(Qt::Key_F2)),
            &QAction::triggered, this,
            [this] { holdPreview([this] { m_configMenu->loadStandardConfiguration(); }); });
    connect(addAction(m_konfigMenu, QStringLiteral("m_konfig_start"), QKeySequence(Qt::Key_F3)),
            &QAction::triggered, this, &Tprog::m_konfig_startClick);
    QAction* entriesSeparator = m_konfigMenu->addSeparator();
    entriesSeparator->setObjectName(QStringLiteral("m_konfig_entries"));
    entriesSeparator->setVisible(false);
    m_actions.insert(QStringLiteral("m_konfig_entries"), entriesSeparator);

    // Help, one menu per language; only the one of the current language is visible.
    for (const bool german : {true, false}) {
        QMenu* info = named(bar->addMenu(QString()), german ? "m_info_de" : "m_info_en");
        QAction* help = addAction(info, german ? QStringLiteral("m_hilfe_de") : QStringLiteral("m_hilfe_en"));
        connect(help, &QAction::triggered, this,
                [this, german] { showWindow(german ? m_windows.hilfe : m_windows.hilfe_en); });
        QAction* bug = addAction(info, german ? QStringLiteral("m_bug_de") : QStringLiteral("m_bug_en"));
        connect(bug, &QAction::triggered, this,
                [this, german] { showWindow(german ? m_windows.bugreport_de : m_windows.bugreport_en); });
    }
}

QWidget* Tprog::buildTextPage()
{
    auto [page, gb1] = settingsPage("einst_text", "gb1");
    auto* g = new QGridLayout(gb1);
    g->setVerticalSpacing(4);

    m_memo = named(new QPlainTextEdit, "Memo1");
    m_memo->setTabChangesFocus(true);
    g->addWidget(m_memo, 0, 0, 1, 3);

    auto* txtAll = named(new QRadioButton, "txt_all");
    auto* txtLine = named(new QRadioButton, "txt_line");
    m_lineCaption = label("Label22Caption");
    m_lineCounter = label("Label22");
    m_lineCounter->setText(QStringLiteral("1"));
    m_lineCounter->setMinimumWidth(m_lineCounter->fontMetrics().horizontalAdvance(QStringLiteral("00000")));
    g->addWidget(txtAll, 1, 0);
    g->addWidget(m_lineCaption, 1, 1, Qt::AlignRight);
    g->addWidget(m_lineCounter, 1, 2);
    g->addWidget(txtLine, 2, 0, 1, 3);
    g->setColumnStretch(0, 1);
    g->setRowStretch(0, 1);
    return page;
}

QWidget* Tprog::buildFontPage()
{
    auto [page, gb2] = settingsPage("einst_schrift", "gb2");
    auto* columns = new QHBoxLayout(gb2);
    columns->setSpacing(14);

    // Left: face name and the font list.
    auto* left = new QVBoxLayout;
    left->setSpacing(4);
    left->addWidget(label("Label16"));
    left->addWidget(named(new QLineEdit, "label2"));
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
    auto* fsize = named(new QComboBox, "FSize");
    fsize->setMinimumContentsLength(4);
    auto* upDown1 = named(new ArrowButtons, "UpDown1");
    right->addWidget(label("Label12"), row, 0);
    right->addWidget(withArrows(fsize, upDown1), row++, 1, Qt::AlignLeft);

    auto* styles = new QGridLayout;
    styles->setHorizontalSpacing(12);
    styles->setVerticalSpacing(2);
    styles->addWidget(named(new QCheckBox, "cb_bold"), 0, 0);
    styles->addWidget(named(new QCheckBox, "cb_italic"), 0, 1);
    styles->addWidget(named(new QCheckBox, "cb_underline"), 1, 0);
    styles->addWidget(named(new QCheckBox, "cb_strikeout"), 1, 1);
    right->addWidget(label("Label13"), row, 0, Qt::AlignTop);
    right->addLayout(styles, row++, 1);

    auto* rotation = new QHBoxLayout;
    rotation->setSpacing(10);
    rotation->addWidget(named(new QRadioButton, "rb_drehung_0"));
    rotation->addWidget(named(new QRadioButton(QStringLiteral("90°")), "rb_drehung_90"));
    rotation->addWidget(named(new QRadioButton(QStringLiteral("180°")), "rb_drehung_180"));
    rotation->addWidget(named(new QRadioButton(QStringLiteral("270°")), "rb_drehung_270"));
    rotation->addStretch();
    right->addWidget(label("Label25"), row, 0);
    right->addLayout(rotation, row++, 1);

    right->addItem(new QSpacerItem(0, 4), row++, 0);
    right->addWidget(heading("Label14"), row++, 0, 1, 2);
    auto* colours = new QGridLayout;
    colours->setHorizontalSpacing(6);
    colours->setVerticalSpacing(5);
    m_fontColor = new ColorField(m_settings, QStringLiteral("act_text_fontcolor"));
    m_backColor = new ColorField(m_settings, QStringLiteral("act_text_hintergrund"));
    for (ColorField* f : {m_fontColor, m_backColor})
        f->setFixedWidth(f->fontMetrics().horizontalAdvance(QStringLiteral("#WWWWWW")) + 14);
    auto* bitBtn14 = named(new QPushButton, "BitBtn14");
    auto* bitBtn15 = named(new QPushButton, "BitBtn15");
    m_fontPipette = named(new PipetteButton(m_pipetteState), "BitBtn13");
    m_backPipette = named(new PipetteButton(m_pipetteState), "BitBtn16");
    colours->addWidget(m_fontColor, 0, 0);
    colours->addWidget(bitBtn14, 0, 1);
    colours->addWidget(m_fontPipette, 0, 2);
    colours->addWidget(m_backColor, 1, 0);
    colours->addWidget(bitBtn15, 1, 1);
    colours->addWidget(m_backPipette, 1, 2);
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
        if (m_settings.fontListSelected() && m_settings.text(QStringLiteral("label2")) == name)
            return;
        m_settings.setText(QStringLiteral("label2"), name);
        m_settings.setFontListSelected(true);
        Vorschau();
    });
    connect(bitBtn14, &QPushButton::clicked, this, [this] { chooseColor(m_fontColor); });
    connect(bitBtn15, &QPushButton::clicked, this, [this] { chooseColor(m_backColor); });
    for (auto [pipette, field] : {std::pair{m_fontPipette, m_fontColor}, std::pair{m_backPipette, m_backColor}}) {
        ColorField* target = field;
        connect(pipette, &PipetteButton::colorPicked, this,
                [this, target](const QColor& c) { pickColor(target, c); });
        connect(pipette, &PipetteButton::pickingFinished, this, &Tprog::Vorschau);
        connect(pipette, &PipetteButton::screenUnreadable, m_pipetteNote, &QWidget::show);
    }
    if (PipetteButton::platformForbidsScreenReading())
        m_pipetteNote->show();
    return page;
}

QWidget* Tprog::buildMarginsPage()
{
    auto [page, gb3] = settingsPage("einst_abstand", "gb3");
    auto* columns = new QHBoxLayout(gb3);
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
    return page;
}

QWidget* Tprog::buildSavePage()
{
    auto [page, gb4] = settingsPage("einst_speichern", "gb4");
    auto* g = new QGridLayout(gb4);
    g->setHorizontalSpacing(10);
    g->setVerticalSpacing(6);
    int row = 0;

    auto* folderRow = new QHBoxLayout;
    folderRow->setSpacing(6);
    folderRow->addWidget(named(new QLineEdit, "out_ordner"), 1);
    auto* folderButton = named(new QPushButton, "outordnerbt");
    folderRow->addWidget(folderButton);
    g->addWidget(heading("Label9"), row, 0);
    g->addLayout(folderRow, row++, 1);
    g->addItem(new QSpacerItem(0, 6), row++, 0);

    g->addWidget(heading("Label7"), row, 0, Qt::AlignTop);
    g->addWidget(named(new QRadioButton, "n_auto"), row++, 1);
    auto* nameRow = new QHBoxLayout;
    nameRow->setSpacing(6);
    nameRow->addWidget(named(new QRadioButton, "n_eigenen"));
    nameRow->addWidget(named(new QLineEdit, "ed_name"), 1);
    g->addLayout(nameRow, row++, 1);
    auto* nameOptions = named(new QPushButton, "opt_filename");
    g->addWidget(nameOptions, row++, 1, Qt::AlignLeft);
    g->addItem(new QSpacerItem(0, 6), row++, 0);

    g->addWidget(heading("Label8"), row, 0);
    g->addWidget(named(new QComboBox, "out_format"), row++, 1);
    g->setRowStretch(row, 1);
    g->setColumnStretch(1, 1);

    connect(folderButton, &QPushButton::clicked, this, &Tprog::outordnerbtClick);
    connect(nameOptions, &QPushButton::clicked, this, [this] { showWindow(m_windows.optionen_name); });
    return page;
}

QWidget* Tprog::buildBottomBar()
{
    auto* panel12 = named(new QWidget, "Panel12");
    auto* h = new QHBoxLayout(panel12);
    h->setContentsMargins(10, 4, 8, 8);
    h->setSpacing(8);
    m_link = label("laspenden");
    m_link->setCursor(Qt::PointingHandCursor);
    QPalette pal = m_link->palette();
    pal.setColor(QPalette::WindowText, pal.color(QPalette::Link));
    m_link->setPalette(pal);
    QFont f = m_link->font();
    f.setUnderline(true);
    m_link->setFont(f);
    m_link->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    m_link->installEventFilter(this);
    h->addWidget(m_link, 1);
    // After a run its summary takes the link's place for a while; its folder opens on a click.
    m_runSummary = label("runSummary");
    m_runSummary->setTextFormat(Qt::RichText);
    m_runSummary->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    m_runSummary->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    m_runSummary->hide();
    h->addWidget(m_runSummary, 1);
    connect(m_runSummary, &QLabel::linkActivated, this, [this](const QString& link) {
        if (m_dialogs.openUrl)
            m_dialogs.openUrl(QUrl(link));
    });
    m_runSummaryTimer = new QTimer(this);
    m_runSummaryTimer->setSingleShot(true);
    m_runSummaryTimer->setInterval(15000);
    connect(m_runSummaryTimer, &QTimer::timeout, this, [this] {
        m_runSummary->hide();
        m_link->show();
    });
    auto* weiter = named(new QPushButton, "weiter");
    auto* durchfuehren = named(new QPushButton, "durchfuehren");
    durchfuehren->setDefault(false);
    QFont bold = durchfuehren->font();
    bold.setBold(true);
    durchfuehren->setFont(bold);
    h->addWidget(weiter);
    h->addWidget(durchfuehren);
    connect(weiter, &QPushButton::clicked, this, &Tprog::weiterClick);
    connect(durchfuehren, &QPushButton::clicked, this, &Tprog::durchfuehrenClick);
    return panel12;
}

void Tprog::bindSettings()
{
    SettingBinder& b = *m_binder;
    auto w = [this](const char* name) { return findChild<QWidget*>(QString::fromLatin1(name)); };
    for (const char* panel : {"Panel1", "Panel2", "Panel5", "Panel3", "Panel12"})
        b.bindPanel(QString::fromLatin1(panel), w(panel));
    for (const char* radio : {"txt_all", "txt_line", "rb_drehung_0", "rb_drehung_90", "rb_drehung_180",
                              "rb_drehung_270", "abstand_var", "abstand_fix", "rb_alleft", "rb_alright",
                              "rb_alcenter", "n_eigenen", "n_auto"})
        b.bindRadio(QString::fromLatin1(radio), qobject_cast<QAbstractButton*>(w(radio)));
    for (const char* check : {"cb_bold", "cb_italic", "cb_underline", "cb_strikeout", "fix_wrap", "max_breite"})
        b.bindCheckBox(QString::fromLatin1(check), qobject_cast<QAbstractButton*>(w(check)));
    for (const char* edit : {"act_text_fontcolor", "act_text_hintergrund", "label2", "abs_h", "abs_b", "abs_u",
                             "abs_o", "abs_l", "abs_r", "abs_z", "abs_bmax", "out_ordner", "ed_name"})
        b.bindLineEdit(QString::fromLatin1(edit), qobject_cast<QLineEdit*>(w(edit)));
    b.bindComboBox(QStringLiteral("FSize"), qobject_cast<QComboBox*>(w("FSize")),
                   SettingsModel::fontSizeProposals());
    b.bindComboBox(QStringLiteral("out_format"), qobject_cast<QComboBox*>(w("out_format")),
                   outputFormatsForLanguage(Language::code()));

    b.bindArrows(QStringLiteral("FSize"), findChild<ArrowButtons*>(QStringLiteral("UpDown1")), w("FSize"));
    b.bindArrows(QStringLiteral("abs_z"), findChild<ArrowButtons*>(QStringLiteral("UpDown2")), w("abs_z"));
    b.bindArrows(QStringLiteral("abs_o"), findChild<ArrowButtons*>(QStringLiteral("UpDownO")), w("abs_o"));
    b.bindArrows(QStringLiteral("abs_u"), findChild<ArrowButtons*>(QStringLiteral("UpDownU")), w("abs_u"));
    b.bindArrows(QStringLiteral("abs_l"), findChild<ArrowButtons*>(QStringLiteral("UpDownL")), w("abs_l"));
    b.bindArrows(QStringLiteral("abs_r"), findChild<ArrowButtons*>(QStringLiteral("UpDownR")), w("abs_r"));

    // Size mode: the maximum width belongs to the variable size, width, height and wrapping to
    // the fixed size; each label shares the state of the control it explains.
    const std::pair<const char*, const char*> enabling[] = {
        {"max_breite", "max_breite"}, {"abs_bmax", "abs_bmax"}, {"Label23", "max_breite"},
        {"Label24", "max_breite"},    {"abs_b", "abs_b"},       {"Label3", "abs_b"},
        {"abs_h", "abs_h"},           {"Label4", "abs_h"},      {"fix_wrap", "fix_wrap"}};
    for (const auto& [widget, setting] : enabling)
        b.bindEnabled(QString::fromLatin1(setting), w(widget));
}

void Tprog::installDefaultDialogs()
{
    m_dialogs.chooseFolder = [this](const QString& caption) {
        return QFileDialog::getExistingDirectory(this, caption, QString(), QFileDialog::ShowDirsOnly);
    };
    auto fileDialog = [this](bool save, const QString& proposed, const QStringList& filters) {
        QFileDialog dialog(this);
        dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
        // The open dialog accepts names of files that do not exist; the save dialog replaces a
        // file without asking.
        dialog.setFileMode(QFileDialog::AnyFile);
        dialog.setOption(QFileDialog::DontConfirmOverwrite);
        dialog.setNameFilters(filters);
        const QFileInfo info(proposed);
        dialog.setDirectory(info.isAbsolute() ? info.absolutePath() : m_settings.programFolder());
        dialog.selectFile(info.fileName());
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return QString();
        return QDir::toNativeSeparators(dialog.selectedFiles().first());
    };
    m_dialogs.chooseSaveFile = [fileDialog](const QString& proposed, const QStringList& filters) {
        return fileDialog(true, proposed, filters);
    };
    m_dialogs.chooseOpenFile = [fileDialog](const QString& proposed, const QStringList& filters) {
        return fileDialog(false, proposed, filters);
    };
    m_dialogs.chooseColor = [this](const QColor& initial) -> std::optional<QColor> {
        QColorDialog dialog(initial, this);
        if (dialog.exec() != QDialog::Accepted)
            return std::nullopt;
        return dialog.selectedColor();
    };
    m_dialogs.showMessage = [this](const QString& id, const QString& parameter) {
        if (m_windows.sm_meldung)
            m_windows.sm_meldung->meldungzeigen(id, parameter, this);
    };
    m_dialogs.openUrl = [](const QUrl& url) { QDesktopServices::openUrl(url); };
}

// ---------------------------------------------------------------------------------------------
// Life cycle

QSize Tprog::clientSize() const
{
    return {width(), height() - menuBar()->sizeHint().height()};
}

void Tprog::setClientSize(const QSize& size)
{
    resize(size.width(), size.height() + menuBar()->sizeHint().height());
}

WindowPlacement Tprog::placement() const
{
    WindowPlacement p;
    p.maximized = isMaximized();
    const QRect normal = isMaximized() ? normalGeometry() : geometry();
    p.clientWidth = normal.width();
    p.clientHeight = normal.height() - menuBar()->sizeHint().height();
    const QRect frame = frameGeometry();
    p.top = frame.top();
    p.left = frame.left();
    return p;
}

void Tprog::applyPlacement(const PlacementChange& change)
{
    const WindowPlacement& p = change.placement;
    if (!isMaximized()) {
        setClientSize(QSize(p.clientWidth, p.clientHeight));
        move(p.left, p.top);
    }
    if (change.maximizeOnActivation)
        m_maximizeAtActivation = true;
}

void Tprog::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (!m_shownOnce) {
        m_shownOnce = true;
        FormShow();
    }
}

void Tprog::FormShow()
{
    // After the configurations (whose placement may change the size), also when one fails, a
    // desktop too small for the window maximises it at its first activation.
    struct DesktopCheck {
        Tprog& prog;
        ~DesktopCheck()
        {
            if (QScreen* s = prog.screen()) {
                const QSize desk = s->availableGeometry().size();
                const QSize client = prog.clientSize();
                if (desk.height() < client.height() + 50 || desk.width() < client.width() + 50)
                    prog.m_maximizeAtActivation = true;
            }
        }
    } check{*this};
    holdPreview([this] { m_configMenu->startUpStepB(m_arguments); });
}

void Tprog::HandleNewInstance(const QStringList& params)
{
    if (!m_shownOnce && m_start)
        m_start->Image1Click();
    holdPreview([this, &params] { m_configMenu->handOff(params); });
}

void Tprog::holdPreview(const std::function<void()>& load)
{
    ++m_previewHeld;
    try {
        load();
    } catch (...) {
        --m_previewHeld;
        throw;
    }
    if (--m_previewHeld == 0 && m_previewPending) {
        m_previewPending = false;
        Vorschau();
    }
}

bool Tprog::event(QEvent* event)
{
    const bool result = QMainWindow::event(event);
    if (event->type() == QEvent::WindowActivate && m_maximizeAtActivation) {
        m_maximizeAtActivation = false;
        showMaximized();
    }
    return result;
}

void Tprog::closeEvent(QCloseEvent* event)
{
    // The window takes no input during a run; a close request from the window system waits too.
    if (m_running) {
        event->ignore();
        return;
    }
    // The auto-save runs first; when it fails the window stays open with its error.
    try {
        m_configMenu->autoSaveOnClose();
    } catch (const std::exception& e) {
        event->ignore();
        showGeneralError(errorMessage(e));
        return;
    }
    event->accept();
    if (m_start)
        m_start->close();
}

void Tprog::m_datei_beendenClick()
{
    if (m_start)
        m_start->close();
}

bool Tprog::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_memo->viewport() && event->type() == QEvent::MouseButtonRelease) {
        updateLineCounter();
        Vorschau();
    } else if (watched == m_memo && event->type() == QEvent::KeyRelease) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (!key->isAutoRepeat()) {
            if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
                updateLineCounter();
            } else if (key->key() == Qt::Key_Up || key->key() == Qt::Key_Down) {
                updateLineCounter();
                Vorschau();
            }
        }
    } else if (watched == m_link && event->type() == QEvent::MouseButtonRelease) {
        laspendenClick();
    } else if (watched == m_link && event->type() == QEvent::Resize) {
        showLinkCaption();
    } else if (watched == m_pages->parentWidget() && event->type() == QEvent::Resize) {
        fitPages();
    }
    return QMainWindow::eventFilter(watched, event);
}

// ---------------------------------------------------------------------------------------------
// Text box, pages, preview

int Tprog::lineNumberAt(const QString& text, int caret)
{
    return 1 + int(text.left(caret).count(QLatin1Char('\n')));
}

void Tprog::updateLineCounter()
{
    const int line = lineNumberAt(m_memo->toPlainText(), m_memo->textCursor().position());
    m_lineCounter->setText(QString::number(line));
}

void Tprog::applyTextMode()
{
    // Whole text: long lines wrap, only a vertical scroll bar. Per line: one text line is one
    // box line, with both scroll bars.
    const bool whole = m_settings.checked(QStringLiteral("txt_all"));
    m_memo->setLineWrapMode(whole ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap);
    m_memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_memo->setHorizontalScrollBarPolicy(whole ? Qt::ScrollBarAlwaysOff : Qt::ScrollBarAlwaysOn);
}

void Tprog::fitPages()
{
    // What every page needs at the current width (wrapped texts take more lines when narrow)
    // and what the tallest page would like.
    // A hidden page's layouts keep the measures of its earlier texts: measure it afresh.
    for (int i = 0; i < m_pages->count(); ++i) {
        QWidget* page = m_pages->widget(i);
        for (QLayout* layout : page->findChildren<QLayout*>())
            layout->invalidate();
        page->layout()->invalidate();
    }
    const QWidget* shown = m_pages->currentWidget();
    const int frame = m_pages->height() - shown->height();
    int need = m_pages->minimumSizeHint().height();
    for (int i = 0; i < m_pages->count(); ++i)
        if (const QWidget* page = m_pages->widget(i); page->hasHeightForWidth())
            need = std::max(need, page->heightForWidth(shown->width()) + frame);
    const int full = std::max(m_pages->sizeHint().height(), need);

    // In a small window the pages give up height before the preview goes below its smallest size,
    // but never below what the tallest page needs, so every page stays whole at the minimum size.
    const int previewStrip = std::max(m_preview->minimumHeight(), m_preview->minimumSizeHint().height());
    const QWidget* middle = m_pages->parentWidget();
    const QMargins margins = middle->layout()->contentsMargins();
    const int room = middle->height() - margins.top() - margins.bottom() - middle->layout()->spacing() - previewStrip;
    const int height = std::clamp(room, need, full);
    if (height != m_pages->minimumHeight() || height != m_pages->maximumHeight())
        m_pages->setFixedHeight(height);
}

void Tprog::weiterClick()
{
    m_pages->setCurrentIndex((m_pages->currentIndex() + 1) % m_pages->count());
}

QString Tprog::previewText() const
{
    const QString text = m_memo->toPlainText();
    if (!m_settings.checked(QStringLiteral("txt_line")))
        return text;
    const QStringList lines = textLines(text);
    const int idx = m_lineCounter->text().toInt() - 1;
    if (lines.size() < idx)
        return lines.value(0);
    return lines.value(idx);
}

void Tprog::Vorschau()
{
    if (m_previewHeld) {
        m_previewPending = true;
        return;
    }
    if (m_previewRendering) {
        m_previewAgain = true;
        return;
    }
    m_previewRendering = true;
    const auto done = qScopeGuard([this] { m_previewRendering = false; });
    do {
        m_previewAgain = false;
        const QImage bitmap = CreateBitmap(previewText(), m_settings);
        if (!m_previewAgain)
            m_preview->showImage(bitmap);
    } while (m_previewAgain);
}

void Tprog::selectFontForLabel()
{
    m_fontList->selectName(m_settings.text(QStringLiteral("label2")));
}

void Tprog::updateFaceNote()
{
    // The configured name stays as it is; the note names the face the images are drawn in.
    const QString drawn = substituteFace(m_settings);
    if (!drawn.isEmpty())
        m_faceNote->setText(missingFaceNote(m_settings.text(QStringLiteral("label2")), drawn, Language::code()));
    m_faceNote->setVisible(!drawn.isEmpty());
}

void Tprog::chooseColor(ColorField* field)
{
    if (!m_dialogs.chooseColor)
        return;
    const std::optional<QColor> colour = m_dialogs.chooseColor(field->fieldColor());
    if (!colour || !colour->isValid())
        return;
    m_settings.setText(field->settingName(), SettingsModel::colorText(*colour));
    Vorschau();
}

void Tprog::pickColor(ColorField* field, const QColor& colour)
{
    // The field's change handling takes over the colour and redraws the preview.
    m_settings.setText(field->settingName(), SettingsModel::colorText(colour));
}

void Tprog::outordnerbtClick()
{
    if (!m_dialogs.chooseFolder)
        return;
    const QString folder = m_dialogs.chooseFolder(SharedTexts::ordnerwahl());
    if (!folder.isEmpty())
        m_settings.setText(QStringLiteral("out_ordner"), QDir::toNativeSeparators(folder));
}

void Tprog::showWindow(QWidget* window)
{
    if (!window)
        return;
    window->show();
    window->raise();
    window->activateWindow();
}

// ---------------------------------------------------------------------------------------------
// The run

void Tprog::durchfuehrenClick()
{
    if (m_running || !m_runView)
        return;
    struct Running {
        Tprog& prog;
        GenerationRun run;
        Running(Tprog& p) : prog(p), run(p.m_settings, *p.m_runView)
        {
            prog.m_running = true;
            prog.m_runView->attach(&run);
        }
        ~Running()
        {
            prog.m_runView->attach(nullptr);
            prog.m_running = false;
        }
    } running(*this);
    const RunResult result = running.run.run(m_memo->toPlainText());
    if (result.started)
        showRunSummary(result);
}

void Tprog::showRunSummary(const RunResult& result)
{
    // The folder of the last written image (settings may change during a run), else the folder
    // setting; the home folder shown as "~".
    QString folder = result.lastWritten.isEmpty()
        ? m_settings.text(QStringLiteral("out_ordner"))
        : QFileInfo(result.lastWritten).absolutePath();
    folder = QDir::cleanPath(folder);
    QString shown = QDir::toNativeSeparators(folder);
    const QString home = QDir::homePath();
    if (folder == home || folder.startsWith(home + u'/'))
        shown = u'~' + QDir::toNativeSeparators(folder.mid(home.size()));
    const QString text = SharedTexts::runSummary(result.written, result.failed, result.cancelled, shown);
    m_runSummary->setText(QStringLiteral("<a href=\"%1\">%2</a>")
                              .arg(QUrl::fromLocalFile(folder).toString(QUrl::FullyEncoded).toHtmlEscaped(),
                                   text.toHtmlEscaped()));
    m_runSummary->setToolTip(QDir::toNativeSeparators(folder));
    m_link->hide();
    m_runSummary->show();
    m_runSummaryTimer->start();
}

void Tprog::meldungzeigen(const QString& id, const QString& parameter)
{
    if (m_dialogs.showMessage)
        m_dialogs.showMessage(id, parameter);
}

// ---------------------------------------------------------------------------------------------
// Configuration menu

void Tprog::addConfigurationEntry(const QString& path, const QString& caption)
{
    auto* entry = new QAction(caption, this);
    entry->setData(path);
    entry->setToolTip(path);
    // Captions are paths, not mnemonics.
    entry->setText(QString(caption).replace(QLatin1Char('&'), QLatin1String("&&")));
    connect(entry, &QAction::triggered, this,
            [this, path] { holdPreview([this, &path] { m_configMenu->loadEntry(path); }); });
    m_actions.value(QStringLiteral("m_konfig_entries"))->setVisible(true);
    m_konfigMenu->addAction(entry);
    m_entryActions.append(entry);
}

void Tprog::KonfigurationSpeichernDialog()
{
    if (!m_dialogs.chooseSaveFile)
        return;
    const QString name = m_dialogs.chooseSaveFile(m_configFileName, m_configFilters);
    if (name.isEmpty())
        return;
    m_configFileName = name;
    m_configMenu->saveWithDialog(name);
}

void Tprog::KonfigurationLadenDialog()
{
    if (!m_dialogs.chooseOpenFile)
        return;
    const QString name = m_dialogs.chooseOpenFile(m_configFileName, m_configFilters);
    if (name.isEmpty())
        return;
    m_configFileName = name;
    holdPreview([this, &name] { m_configMenu->loadWithDialog(name); });
}

void Tprog::m_konfig_startClick()
{
    bool loaded = false;
    holdPreview([this, &loaded] { loaded = m_configMenu->loadStartConfiguration(); });
    if (!loaded)
        meldungzeigen(MessageId::keinestartkonfig);
}

void Tprog::updateAutoSaveChecks()
{
    m_actions.value(QStringLiteral("m_konfig_autosave_nie"))->setChecked(m_settings.autoSaveNever());
    m_actions.value(QStringLiteral("m_konfig_autosave_alles"))->setChecked(m_settings.autoSaveAll());
}

// ---------------------------------------------------------------------------------------------
// Language and link

void Tprog::applyCaption(const QString& control, const QString& text)
{
    if (QAction* a = m_actions.value(control)) {
        a->setText(text);
        return;
    }
    // Menus live in the menu bar, everything else in the client area (the secondary windows,
    // children of this window, have controls of the same names).
    QObject* target = menuBar()->findChild<QMenu*>(control);
    if (!target)
        target = centralWidget()->findChild<QObject*>(control);
    if (!target)
        return;
    if (auto* menu = qobject_cast<QMenu*>(target)) {
        menu->setTitle(text);
    } else if (auto* page = qobject_cast<QWidget*>(target); page && m_pages->indexOf(page) >= 0) {
        m_pages->setTabText(m_pages->indexOf(page), text);
    } else if (auto* button = qobject_cast<QAbstractButton*>(target)) {
        button->setText(text);
    } else if (auto* group = qobject_cast<QGroupBox*>(target)) {
        group->setTitle(text);
    } else if (auto* l = qobject_cast<QLabel*>(target)) {
        l->setText(text);
    }
}

void Tprog::SpracheProg()
{
    const QString code = Language::code();
    const bool german = Language::isGerman();
    applyToolkitLanguage(code);
    for (const CatalogRow& row : catalogRows()) {
        if (row.window != kProg)
            continue;
        const QString text = row.text(code);
        switch (row.property) {
        case TextProperty::WindowTitle:
            setWindowTitle(text);
            break;
        case TextProperty::Caption:
            applyCaption(row.control, text);
            break;
        case TextProperty::DialogFileName:
            m_configFileName = text;
            break;
        case TextProperty::DialogFilter:
            m_configFilters = toQtNameFilters(text);
            break;
        case TextProperty::StatusText:
        case TextProperty::ShellName:
            break;
        }
    }

    // Per-language menus and the check marks of the language menu.
    for (const char* menu : {"m_info_de", "m_info_en"}) {
        const QString name = QString::fromLatin1(menu);
        if (auto* m = findChild<QMenu*>(name))
            m->menuAction()->setVisible(catalogVisible(kProg, name, code));
    }
    for (const char* entry : {"m_einst_sprache_deutsch", "m_einst_sprache_english"}) {
        const QString name = QString::fromLatin1(entry);
        m_actions.value(name)->setChecked(catalogChecked(kProg, name, code));
    }

    // The help menus keep their own language; F1 belongs to the visible one.
    m_actions.value(QStringLiteral("m_hilfe_de"))->setText(QStringLiteral("Hilfe und Einführung"));
    m_actions.value(QStringLiteral("m_bug_de"))->setText(QStringLiteral("Fehler oder Verbesserung melden.."));
    m_actions.value(QStringLiteral("m_hilfe_en"))->setText(QStringLiteral("Help and Introduction"));
    m_actions.value(QStringLiteral("m_bug_en"))->setText(QStringLiteral("Report Bug or Improvement.."));
    m_actions.value(QStringLiteral("m_hilfe_de"))->setShortcut(german ? QKeySequence(Qt::Key_F1) : QKeySequence());
    m_actions.value(QStringLiteral("m_hilfe_en"))->setShortcut(german ? QKeySequence() : QKeySequence(Qt::Key_F1));

    // Texts of this window that the catalogue leaves to it.
    m_lineCaption->setText(tr2(QStringLiteral("Zeile:"), QStringLiteral("Line:")));
    m_memo->setToolTip(tr2(QStringLiteral("Der Text, der auf das Bild geschrieben wird"),
                           QStringLiteral("The text that is written on the image")));
    for (PipetteButton* p : {m_fontPipette, m_backPipette}) {
        p->setText(QStringLiteral("Pipette"));
        p->setToolTip(tr2(QStringLiteral("Maustaste hier drücken und über eine beliebige Stelle des "
                                         "Bildschirms ziehen, um deren Farbe zu übernehmen"),
                          QStringLiteral("Press here and drag over any point of the screen to take "
                                         "its colour")));
    }
    m_pipetteNote->setText(tr2(
        QStringLiteral("Diese Arbeitsumgebung erlaubt Programmen nicht, Bildschirmfarben zu lesen: "
                       "Die Pipette kann hier keine Farbe aufnehmen. Geben Sie die Farbe ein oder "
                       "wählen Sie sie im Farbdialog."),
        QStringLiteral("This desktop does not let programs read colours from the screen, so the "
                       "pipette cannot pick a colour here. Type the colour or choose it in the "
                       "colour dialog.")));

    updateFaceNote();

    // Output formats: the list and the current text in this language; the extension stays.
    m_binder->setComboItems(QStringLiteral("out_format"), outputFormatsForLanguage(code));
    m_settings.setText(QStringLiteral("out_format"),
                       formatNameForLanguage(m_settings.text(QStringLiteral("out_format")), code));

    updateLinkCaption();
    // Texts of the other language may take more lines.
    if (m_pages->isVisible())
        fitPages();
}

void Tprog::sprachealles()
{
    SpracheProg();
    if (m_start)
        m_start->sprache();
    if (m_windows.sm_bearbeitung)
        m_windows.sm_bearbeitung->Sprache();
    if (m_windows.sm_meldung)
        m_windows.sm_meldung->Sprache();
    if (m_windows.einstshortcuts)
        m_windows.einstshortcuts->Sprache();
    if (m_windows.optionen)
        m_windows.optionen->Sprache();
    if (m_windows.optionen_name)
        m_windows.optionen_name->Sprache();
}

void Tprog::setLanguage(const QString& code)
{
    Language::setCode(code);
    sprachealles();
}

void Tprog::Timer1Timer()
{
    ++m_linkCounter;
    updateLinkCaption();
}

void Tprog::updateLinkCaption()
{
    const LinkCaption link = linkCaption(linkPageFor(m_linkCounter), Language::isGerman());
    m_linkCaption = link.caption;
    m_link->setToolTip(link.url.toString());
    showLinkCaption();
}

void Tprog::showLinkCaption()
{
    // The label shares the bar with the buttons; a caption wider than its room ends in "...".
    m_link->setText(m_link->fontMetrics().elidedText(m_linkCaption, Qt::ElideRight, m_link->width()));
}

void Tprog::laspendenClick()
{
    if (m_dialogs.openUrl)
        m_dialogs.openUrl(linkCaption(linkPageFor(m_linkCounter), Language::isGerman()).url);
}

} // namespace qp
