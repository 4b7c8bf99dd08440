#include "NameMoves.h"

#include "MachineMutex.h"
#include "Tick.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>

namespace {

std::function<int(const char *)> &callHook()
{
    static std::function<int(const char *)> hook;
    return hook;
}

// How long a rename waits for another run's: their look and rename take microseconds, so a
// holder that keeps it longer is stuck or hostile, and the rename then fails (the caller keeps
// every old file).
constexpr int kLockWaitMs = 10000;

} // namespace

namespace NameMoves {

void setCallHook(std::function<int(const char *call)> hook) { callHook() = std::move(hook); }

bool allowed(const char *call)
{
    if (!callHook())
        return true;
    const int err = callHook()(call);
    if (err == 0)
        return true;
    errno = err;
    return false;
}

bool unsupported(int err)
{
    return err == EPERM || err == EOPNOTSUPP || err == ENOSYS || err == EINVAL || err == EMLINK || err == EXDEV;
}

bool renameToFree(int fromDir, const QByteArray &from, int toDir, const QByteArray &to)
{
    if (allowed("noreplace") && ::renameat2(fromDir, from.constData(), toDir, to.constData(), RENAME_NOREPLACE) == 0)
        return true;
    if (errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP)
        return false;
    // No such rename here. Every run of ours that renames onto a free name of such a file system
    // does so under this lock, after looking: none of them replaces a file another just put
    // there, and a restore never lands on a newer output.
    MachineMutex lock(QStringLiteral("quorvane-free-names.lock"));
    const std::int64_t start = Tick::count();
    while (!lock.tryLock()) {
        if (Tick::count() - start > kLockWaitMs) {
            errno = EBUSY;
            return false;
        }
        Tick::sleepMs(2);
    }
    struct stat st {};
    if (::fstatat(toDir, to.constData(), &st, AT_SYMLINK_NOFOLLOW) == 0) {
        lock.unlock();
        errno = EEXIST;
        return false;
    }
    const bool ok = errno == ENOENT && allowed("rename") && ::renameat(fromDir, from.constData(), toDir, to.constData()) == 0;
    const int err = errno;
    lock.unlock();
    errno = err;
    return ok;
}

} // namespace NameMoves
