// SPDX-License-Identifier: MIT
#pragma once
// A fixture with every window of the program, as the desktop program creates them, in a program
// folder and a working folder of its own. Dialogs, messages and the error box are replaced by
// recorders so that nothing blocks; the timers are stopped so that only the test moves time on.
#include "core/i18n/Language.h"
#include "core/settings/SettingsModel.h"
#include "gui/app/ErrorBox.h"
#include "gui/app/ProgramWindows.h"
#include "gui/app/Tprog.h"
#include "gui/app/Tstart.h"
#include "gui/render/PreviewBox.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <memory>
#include <optional>

namespace qp::testing {

class ProgramFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_home.isValid());
        ASSERT_TRUE(m_work.isValid());
        qputenv("QUILLPRESS_HOME", m_home.path().toLocal8Bit());
        setGeneralErrorHandler([this](const QString& message) { errors << message; });
    }

    void TearDown() override
    {
        m_windows.reset();
        setGeneralErrorHandler({});
        qunsetenv("QUILLPRESS_HOME");
        Language::setCode(QStringLiteral("en"));
    }

    // Creates the windows with `arguments` on the command line. The main window is shown unless
    // `show` is false (the first showing loads the command line's configurations).
    void create(const QStringList& arguments = {}, bool show = true)
    {
        // One program's windows at a time, as in the program (it has one single-instance component).
        m_windows.reset();
        m_windows = std::make_unique<ProgramWindows>(arguments, m_work.path());
        m_windows->start().timer()->stop();
        prog().linkTimer()->stop();
        Tprog::Dialogs& d = prog().dialogs();
        d.chooseFolder = [this](const QString& caption) {
            folderCaptions << caption;
            return nextFolder;
        };
        d.chooseSaveFile = [this](const QString& proposed, const QStringList& filters) {
            proposedNames << proposed;
            dialogFilters = filters;
            return nextSaveName;
        };
        d.chooseOpenFile = [this](const QString& proposed, const QStringList& filters) {
            proposedNames << proposed;
            dialogFilters = filters;
            return nextOpenName;
        };
        d.chooseColor = [this](const QColor& initial) {
            colorDialogInitial = initial;
            return nextColor;
        };
        d.showMessage = [this](const QString& id, const QString& parameter) {
            messages << id + u'|' + parameter;
        };
        d.openUrl = [this](const QUrl& url) { openedUrls << url; };
        if (show) {
            prog().show();
            ASSERT_TRUE(QTest::qWaitForWindowExposed(&prog()));
        }
    }

    Tprog& prog() const { return m_windows->prog(); }
    Tstart& start() const { return m_windows->start(); }
    SettingsModel& settings() const { return m_windows->settings(); }
    ProgramWindows& windows() const { return *m_windows; }
    QString homePath(const QString& name) const { return QDir(m_home.path()).filePath(name); }
    QString workPath(const QString& name) const { return QDir(m_work.path()).filePath(name); }

    // A control of the main window's client area by its name.
    template <typename W = QWidget>
    W* control(const QString& name) const
    {
        W* w = prog().centralWidget()->findChild<W*>(name);
        EXPECT_NE(w, nullptr) << "no control " << name.toStdString();
        return w;
    }
    // The control of a setting, which bears the setting's name.
    template <typename W = QWidget>
    W* control(Setting key) const
    {
        return control<W>(SettingsModel::nameOf(key));
    }

    // The caption a control of the main window shows, with the mark of its access letter: a menu's
    // title, a menu entry's text (without the shortcut column it may carry after a tab), a page's
    // tab text, or the text of a button, label or group box.
    QString caption(const QString& name) const
    {
        if (QAction* a = prog().action(name))
            return a->text().section(u'\t', 0, 0);
        if (auto* menu = prog().menuBar()->findChild<QMenu*>(name))
            return menu->title();
        QObject* o = prog().centralWidget()->findChild<QObject*>(name);
        if (auto* page = qobject_cast<QWidget*>(o); page && prog().pages()->indexOf(page) >= 0)
            return prog().pages()->tabText(prog().pages()->indexOf(page));
        if (auto* b = qobject_cast<QAbstractButton*>(o))
            return b->text();
        if (auto* g = qobject_cast<QGroupBox*>(o))
            return g->title();
        if (auto* l = qobject_cast<QLabel*>(o))
            return l->text();
        return QStringLiteral("<no control %1>").arg(name);
    }

    // Writes a configuration file with the given INI text.
    QString writeConfiguration(const QString& path, const QByteArray& ini) const
    {
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(ini);
        return path;
    }

    int drawCount() const { return prog().previewBox()->drawCount(); }

    QStringList errors;
    QStringList messages;
    QStringList folderCaptions;
    QStringList proposedNames;
    QStringList dialogFilters;
    QList<QUrl> openedUrls;
    QString nextFolder;
    QString nextSaveName;
    QString nextOpenName;
    std::optional<QColor> nextColor;
    QColor colorDialogInitial;

private:
    QTemporaryDir m_home;
    QTemporaryDir m_work;
    std::unique_ptr<ProgramWindows> m_windows;
};

} // namespace qp::testing
