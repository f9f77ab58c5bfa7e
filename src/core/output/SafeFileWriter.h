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
WriteOutcome writeNewFile(const QString& path, const std::vector<unsigned char>& bytes);

} // namespace qp
