// SPDX-License-Identifier: MIT
#include "gui/app/ClientArea.h"

#include "core/settings/SettingsModel.h"
#include "gui/app/BottomBar.h"
#include "gui/app/Named.h"
#include "gui/output/SavePage.h"
#include "gui/render/FontPage.h"
#include "gui/render/MarginsPage.h"
#include "gui/render/PreviewBox.h"
#include "gui/run/TextPage.h"

#include <QTabWidget>
#include <QVBoxLayout>

namespace qp {

ClientArea buildClientArea(SettingsModel& settings, SettingBinder& binder, const MainWindowDialogs& dialogs)
{
    ClientArea area;
    auto* panel1 = named(new QWidget, Setting::Panel1);
    auto* outer = new QVBoxLayout(panel1);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);

    auto* panel5 = named(new QWidget, Setting::Panel5);
    auto* middle = new QVBoxLayout(panel5);
    middle->setContentsMargins(8, 8, 8, 4);
    middle->setSpacing(8);

    auto* panel2 = named(new QWidget, Setting::Panel2);
    auto* previewLayout = new QVBoxLayout(panel2);
    previewLayout->setContentsMargins(0, 0, 0, 0);
    area.preview = named(new PreviewBox, "vor_box");
    // In a small window the preview gives way to the pages down to a strip (it scrolls).
    area.preview->setMinimumHeight(48);
    previewLayout->addWidget(area.preview);
    middle->addWidget(panel2, 1);

    area.pages = named(new QTabWidget, "einst");
    area.textPage = new TextPage(settings, binder);
    area.fontPage = new FontPage(settings, binder, dialogs);
    area.savePage = new SavePage(settings, binder, dialogs);
    area.pages->addTab(area.textPage, QString());
    area.pages->addTab(area.fontPage, QString());
    area.pages->addTab(new MarginsPage(binder), QString());
    area.pages->addTab(area.savePage, QString());
    area.pages->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    middle->addWidget(area.pages, 0);
    outer->addWidget(panel5, 1);
    area.bottomBar = new BottomBar(settings, dialogs);
    outer->addWidget(area.bottomBar, 0);
    area.frame = panel1;
    area.middle = panel5;
    return area;
}

} // namespace qp
