// SPDX-License-Identifier: MIT
#pragma once
// Splitting a text into its lines.
#include <QStringList>

namespace qp {

// The lines of a text. A line ends at CR LF, at LF or at a lone CR (text widgets give LF, files
// and pasted texts may carry either). The break at the very end adds no line, so an empty text
// has no lines at all.
QStringList textLines(const QString& text);

} // namespace qp
