// SPDX-License-Identifier: MIT
#pragma once
// A real file-size limit (RLIMIT_FSIZE) for tests of failing writes: a write past the limit fails
// with EFBIG, as on a full disk, instead of killing the process (SIGXFSZ is ignored). Unix only.
#ifndef _WIN32
#include <csignal>
#include <sys/resource.h>

namespace qp::test {

// Lowers the soft limit of this process to `bytes` and ignores SIGXFSZ. Safe to call in a child
// process between fork and exec (QProcess::setChildProcessModifier).
inline void limitFileSize(rlim_t bytes)
{
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit{};
    getrlimit(RLIMIT_FSIZE, &limit);
    limit.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &limit);
}

// The limit for the lifetime of the object; the previous limit and signal handling come back
// after it. Keep its scope to the write under test: every file of the process is limited.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &m_previous);
        m_previousHandler = std::signal(SIGXFSZ, SIG_IGN);
        limitFileSize(bytes);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &m_previous);
        std::signal(SIGXFSZ, m_previousHandler);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit m_previous{};
    void (*m_previousHandler)(int) = SIG_DFL;
};

} // namespace qp::test
#endif
