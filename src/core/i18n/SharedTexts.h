// SPDX-License-Identifier: MIT
#pragma once
// Texts that several windows and the command-line tool show, in the current language.
#include <QString>

namespace qp {

struct SharedTexts {
    // Caption of the output-folder browse dialog.
    static QString ordnerwahl();
    // Heading of the progress window when a run starts.
    static QString bearbeitung();
    // Label before the current image in the progress window.
    static QString aktuellesBild();
    // What a finished run did, for the main window's bottom bar: "3 images written to <folder>",
    // with the number of failed images when there were any and a note when it was cancelled.
    static QString runSummary(int written, int failed, bool cancelled, const QString& folder);
    // The font sizes that shrinking to fit used in a run: "font size used: 18 pt", or a range.
    static QString fittedSizes(qint64 smallest, qint64 largest);
    // The Help menu's About window: the version, the licence, the folder of the configurations and
    // the folder the images are written to.
    static QString about(const QString& version, const QString& configFolder, const QString& outputFolder);
};

} // namespace qp
