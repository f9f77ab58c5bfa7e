// SPDX-License-Identifier: MIT
#pragma once
// The program's windows, created once at start in their fixed order and kept until the end: the
// start window first (it chooses the language), then the main window, the help windows, the
// progress and message windows, the problem-report windows, the shell settings, the format
// options and the file-name options. Closing a secondary window only hides it.
#include <QObject>
#include <QStringList>

#include <memory>

class QWidget;

namespace qp {

class SettingsModel;
class Teinstshortcuts;
class Toptionen;
class Toptionen_name;
class Tprog;
class Tsm_bearbeitung;
class Tsm_meldung;
class Tstart;

class ProgramWindows : public QObject {
    Q_OBJECT
public:
    // `arguments`: the command line after the program path; `workingDir`: where the language
    // marker files are looked for.
    ProgramWindows(const QStringList& arguments, const QString& workingDir);
    ~ProgramWindows() override;

    SettingsModel& settings() const { return *m_settings; }
    Tstart& start() const { return *m_start; }
    Tprog& prog() const { return *m_prog; }
    Tsm_bearbeitung& progress() const { return *m_progress; }
    Tsm_meldung& messages() const { return *m_messages; }
    Teinstshortcuts& shellSettings() const { return *m_shell; }
    Toptionen& formatOptions() const { return *m_options; }
    Toptionen_name& nameOptions() const { return *m_nameOptions; }
    QWidget* helpWindow(bool german) const { return german ? m_hilfe : m_hilfeEn; }
    QWidget* problemReportWindow(bool german) const { return german ? m_bugDe : m_bugEn; }

    // Ends the application's event loop when the program ends, without closing the other windows
    // first: closing the main window would run its auto-save, which the menu's exit must not do.
    void endEventLoopOnProgramEnd();

signals:
    // The start window was closed: the program ends.
    void programEnd();

private:
    std::unique_ptr<SettingsModel> m_settings;
    std::unique_ptr<Tstart> m_start;
    std::unique_ptr<Tprog> m_prog;
    // Owned by the main window.
    QWidget* m_hilfe = nullptr;
    QWidget* m_hilfeEn = nullptr;
    Tsm_bearbeitung* m_progress = nullptr;
    Tsm_meldung* m_messages = nullptr;
    QWidget* m_bugDe = nullptr;
    QWidget* m_bugEn = nullptr;
    Teinstshortcuts* m_shell = nullptr;
    Toptionen* m_options = nullptr;
    Toptionen_name* m_nameOptions = nullptr;
};

} // namespace qp
