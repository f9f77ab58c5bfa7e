// SPDX-License-Identifier: MIT
#pragma once
// Writes a new file without ever replacing an existing one and without leaving a partial file.
#include <QString>
#include <stdexcept>
#include <vector>

namespace qp {

class FileWriteError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

enum class WriteOutcome { Written, NameTaken };

// Writes `bytes` to a temporary file in the target folder and moves it to `path` only when it is
// complete, refusing to replace an existing file (NameTaken; nothing is left behind). Raises
// FileWriteError when the folder cannot be written; no temporary file survives a failure.
// Where the system allows it, the temporary file has no name at all until it is complete (a
// process killed meanwhile leaves nothing); otherwise it is a hidden ".quillpress-*.part" file,
// locked while it is written.
WriteOutcome writeNewFile(const QString& path, const std::vector<unsigned char>& bytes);

// Removes the hidden temporary files that killed runs left in `folder`: those no running writer
// holds and that are older than a minute. A run calls it once for its output folder.
void removeLeftoverTemporaries(const QString& folder);

// Turns the nameless temporary files off (true by default), for testing the named way.
void useUnnamedTemporaryFiles(bool allowed);

} // namespace qp
