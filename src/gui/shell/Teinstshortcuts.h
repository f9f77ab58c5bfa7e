// SPDX-License-Identifier: MIT
#pragma once
// Shell-settings window: registers the program with the desktop in five groups (configuration
// files, "Send to", folders, all files, the files of the chosen extensions beldateien) and removes
// it again; shows the status of each group (of the chosen extensions for the last) and whether the
// program runs as administrator, or where registration is per user for whom it applies, with a
// button that restarts it with administrator rights. Modeless, on top,
// centred on the screen when first shown.
#include "core/shell/ShellBackend.h"

#include <QDialog>
#include <QPointer>

#include <functional>
#include <memory>

class QLabel;
class QPushButton;

namespace qp {
class SettingsModel;

class Teinstshortcuts : public QDialog {
    Q_OBJECT
public:
    // Without a backend the platform's own is used, for this program file.
    explicit Teinstshortcuts(SettingsModel& settings, QWidget* parent = nullptr,
                             std::unique_ptr<ShellBackend> backend = {});
    ~Teinstshortcuts() override;

    // Applies the current language, then re-reads the registration and the administrator state.
    void Sprache();
    // Refreshes the five status labels.
    void CheckShortCuts();

    // How the program ends after the elevated instance has started (closing the start window).
    void setEndProgram(std::function<void()> endProgram) { m_endProgram = std::move(endProgram); }

    void KonfigAnClick() { registerClicked(ShellGroup::Config); }
    void KonfigAusClick() { removeClicked(ShellGroup::Config); }
    void SendenAnAnClick() { registerClicked(ShellGroup::SendTo); }
    void SendenAnAusClick() { removeClicked(ShellGroup::SendTo); }
    void OrdnerAnClick() { registerClicked(ShellGroup::Folders); }
    void OrdnerAusClick() { removeClicked(ShellGroup::Folders); }
    void AlleDateienAnClick() { registerClicked(ShellGroup::Files); }
    void AlleDateienAusClick() { removeClicked(ShellGroup::Files); }
    void BeliebigeDateienAnClick() { registerClicked(ShellGroup::Types); }
    void BeliebigeDateienAusClick() { removeClicked(ShellGroup::Types); }
    // Restarts the program as administrator; the window stays until the elevated one runs.
    void AlsAdminStartenClick();

    ShellBackend& backend() const { return *m_backend; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    enum class Elevation { None, Waiting, Declined, Failed };

    void showStatus(ShellGroup group);
    void registerClicked(ShellGroup group);
    void removeClicked(ShellGroup group);
    QStringList chosenExtensions() const;
    void showAdminState();
    void showElevation(Elevation state);

    SettingsModel& m_settings;
    std::unique_ptr<ShellBackend> m_backend;
    std::function<void()> m_endProgram;
    QLabel* m_adminLabel = nullptr;
    QLabel* m_configEntry = nullptr;
    QLabel* m_elevationNote = nullptr;
    QPushButton* m_restart = nullptr;
    QPointer<ElevatedStart> m_attempt;
    Elevation m_elevation = Elevation::None;
    bool m_placed = false;
};

} // namespace qp
