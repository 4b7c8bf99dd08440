#pragma once
// A file size limit for the calling process (and the workers it starts meanwhile), with SIGXFSZ
// ignored: a write past the limit is then cut short or fails with EFBIG, as on a full disk, and
// no root or small file system is needed. The old limit and signal action come back at the end.
#include <csignal>
#include <sys/resource.h>

namespace qvtest {

class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        ::getrlimit(RLIMIT_FSIZE, &m_old);
        m_signal = std::signal(SIGXFSZ, SIG_IGN);
        struct rlimit small = m_old;
        small.rlim_cur = bytes;
        m_ok = ::setrlimit(RLIMIT_FSIZE, &small) == 0;
    }
    ~FileSizeLimit()
    {
        ::setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_signal);
    }
    FileSizeLimit(const FileSizeLimit &) = delete;
    FileSizeLimit &operator=(const FileSizeLimit &) = delete;
    bool ok() const { return m_ok; }

private:
    struct rlimit m_old {};
    void (*m_signal)(int) = SIG_DFL;
    bool m_ok = false;
};

} // namespace qvtest
