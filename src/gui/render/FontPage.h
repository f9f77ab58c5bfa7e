// SPDX-License-Identifier: MIT
#pragma once
// The main window's page "Font and Format": the face name with the list of installed faces, the
// size with its arrows, the styles, the rotation, and the text and background colours with their
// colour dialogs and pipettes.
#include "gui/render/PipetteButton.h"
#include "gui/settings/SettingsPage.h"

class QLabel;

namespace qp {

class ColorField;
class FontListBox;
struct MainWindowDialogs;
class SettingBinder;
class SettingsModel;

class FontPage : public SettingsPage {
    Q_OBJECT
public:
    // The colour buttons open `dialogs.chooseColor` as it is at the click.
    FontPage(SettingsModel& settings, SettingBinder& binder, const MainWindowDialogs& dialogs);

    FontListBox* fontList() const { return m_fontList; }
    QLabel* pipetteNote() const { return m_pipetteNote; }
    // The note beside the face name when the configured face is not installed.
    QLabel* faceNote() const { return m_faceNote; }

    // Selects the configured face in the font list.
    void selectFontForLabel();
    // Shows or hides the note on a face that is not installed, in the current language.
    void updateFaceNote();

signals:
    // A choice on this page that the preview shows once it is made (a face from the list, a
    // colour from the dialog, the end of picking).
    void previewWanted();

private:
    void bindSettings(SettingBinder& b);
    void chooseColor(ColorField* field);
    void pickColor(ColorField* field, const QColor& colour);

    SettingsModel& m_settings;
    const MainWindowDialogs& m_dialogs;
    FontListBox* m_fontList = nullptr;
    ColorField* m_fontColor = nullptr;
    ColorField* m_backColor = nullptr;
    PipetteButton* m_fontPipette = nullptr;
    PipetteButton* m_backPipette = nullptr;
    QLabel* m_pipetteNote = nullptr;
    QLabel* m_faceNote = nullptr;
    PipetteButton::State m_pipetteState;
};

} // namespace qp
