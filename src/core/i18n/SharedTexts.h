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
};

} // namespace qp
