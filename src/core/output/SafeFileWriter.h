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

// Durability: what a write has put into the system's cache reaches the storage device only when
// flushed. Each gives 0, or the system's error number when the flush failed (the data may then
// be lost in a power cut).
// The data of an open file.
int syncFileData(int fd);
// A folder's entries: a file just renamed or linked into it keeps its name after a power cut.
int syncFolder(const QString& folder);

// One flush for all the images of a run, in place of one per image: everything written to the
// file system of the output folder. The folder is opened before the first image is written, so
// that a write-back failure of any image of the run is reported by the flush.
class FileSystemSync {
public:
    FileSystemSync() = default;
    ~FileSystemSync();
    FileSystemSync(const FileSystemSync&) = delete;
    FileSystemSync& operator=(const FileSystemSync&) = delete;
    // Opens `folder` once (later calls keep the first one); does nothing when it cannot.
    void watch(const QString& folder);
    // Flushes the watched file system: 0, or the system's error number.
    int flush();

private:
    int m_fd = -1;
    QString m_folder;
};


} // namespace qp
