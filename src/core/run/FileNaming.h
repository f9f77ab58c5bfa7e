// SPDX-License-Identifier: MIT
#pragma once
// Automatic file naming: the full output path of one image, built from its text or the fixed
// name, shaped by the file-name options and numbered until no file of that name exists.
#include "core/run/NumberingMemo.h"

#include <QSet>
#include <QString>
#include <optional>

namespace qp {

class SettingsModel;

// The characters 0 to 31 and 127, which a name never holds: they split printed paths, move the
// terminal and are not allowed in file names on Windows.
bool isControlCharacter(QChar c);

// Replaces every occurrence of `search` by `replacement`, left to right, without overlap; the
// replacement is not scanned again. Unchanged when input or search is empty or both texts equal.
QString replaceAll(const QString& input, const QString& search, const QString& replacement);

// The file extension of an output-format text: the part before the first " - " without "*"
// ("*.jpg - JPEG-Bild" gives ".jpg"); empty when there is no " - ".
QString formatExtension(const QString& formatText);

enum class LetterCase { Lower, Upper, Keep };

// The settings of file naming, as values: read at the moment a name is made.
struct NamingSettings {
    QString folder;                          // out_ordner
    QString formatText;                      // out_format
    bool automatic = true;                   // n_auto: the name comes from the text
    QString fixedName;                       // ed_name, when not automatic
    bool numberAlways = false;               // cb_numsofort
    qint64 firstNumber = 1;                  // ed_num while cb_num is set and it is an integer
    // Shaping an automatic name (the file-name options window).
    std::optional<QString> spaceReplacement; // ed_leerzeichen while cb_leerzeichen is set
    QString removalReplacement;              // ed_ersatz while cb_ersatz is set, else empty
    std::optional<QString> allowed;          // ed_buchst while cb_buchst is set
    std::optional<qint64> maxLength;         // ed_max while cb_max is set and it is an integer
    LetterCase letterCase = LetterCase::Lower; // cb_lower, cb_upper, cb_keine
};
NamingSettings readNamingSettings(const SettingsModel& settings);

// The name (without folder, number and extension) that the naming options give for a text.
QString automaticName(const QString& text, const NamingSettings& settings);
QString automaticName(const QString& text, const SettingsModel& settings);

// The full path for the image of `text`. Creates the output folder (with missing parents) first;
// a folder that cannot be created is not an error here (the write that follows fails). An empty
// name is numbered at once (start number and extension, "1.png"), so that no file is hidden. A run
// passes its memo so that numbering a name again probes from where it stopped last time.
QString CreateFileName(const QString& text, const NamingSettings& settings, NumberingMemo* memo = nullptr);
QString CreateFileName(const QString& text, const SettingsModel& settings, NumberingMemo* memo = nullptr);

// A name that a run would write, decided before the run.
struct PlannedName {
    QString path;
    bool moved = false; // a file of the plain name exists, so numbering moved the name on
};

// The names of a run that has not happened, in image order: numbered as CreateFileName numbers
// them during the run, where every earlier image's file exists by the time the next is named.
// Nothing is created, not even the output folder.
class NamePlanner {
public:
    explicit NamePlanner(NamingSettings settings);
    PlannedName next(const QString& text);

private:
    NamingSettings m_settings;
    NumberingMemo m_memo;
    QSet<QString> m_planned; // the names handed out so far
};

} // namespace qp
