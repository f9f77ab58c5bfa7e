// SPDX-License-Identifier: MIT
#pragma once
// What one image needs in memory on its way from the drawn bitmap to the finished file, and what
// the machine can give: an image the machine cannot hold is refused with its cause before it is
// drawn, instead of the system ending the process.
#include <QString>
#include <stdexcept>

namespace qp {

class MemoryError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Bytes an image of width x height needs at its peak (drawing, conversion, encoding and the
// encoded file, which is kept in memory until it is written), when it is written as a file of
// `fileName`'s extension.
qint64 estimatedImageMemory(qint64 width, qint64 height, const QString& fileName);

// What one image may take: half of the physical memory, or of the memory limit of the process's
// control group when that is lower.
qint64 imageMemoryBudget();

// Sets the budget to `bytes` instead of the machine's (0 gives the machine's again); for tests.
void setImageMemoryBudget(qint64 bytes);

// Raises MemoryError, with both figures in its text, when the image would need more than the
// budget.
void checkImageMemory(qint64 width, qint64 height, const QString& fileName);
// The same against a budget read before (a run reads it once: finding the control group's limit
// costs a score of system calls).
void checkImageMemory(qint64 width, qint64 height, const QString& fileName, qint64 budget);

} // namespace qp
