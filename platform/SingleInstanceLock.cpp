// Single-instance lock over flock. Invariant: FFd >= 0 exactly while this
// object holds the exclusive lock on a regular file owned by this user; the
// descriptor is close-on-exec so a program started from here does not
// inherit the lock.
#include "SingleInstanceLock.h"
#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// This user's own folder that nobody else may write or enter.
bool IsPrivateFolder(const QString& folder)
{
    struct stat info { };
    return !folder.isEmpty() && ::lstat(QFile::encodeName(folder).constData(), &info) == 0
        && S_ISDIR(info.st_mode) && info.st_uid == ::geteuid() && (info.st_mode & 077) == 0;
}

QString CacheFolder()
{
    QString cache = qEnvironmentVariable("XDG_CACHE_HOME");
    if (cache.isEmpty() || !QDir::isAbsolutePath(cache))
        cache = QDir::homePath() + QStringLiteral("/.cache");
    return cache;
}

} // namespace

TSingleInstanceLock::TSingleInstanceLock(const QString& name, const QString& folder)
    : FPath((folder.isEmpty() ? DefaultFolder() : folder) + QLatin1Char('/') + name + QStringLiteral(".lock"))
{
}

TSingleInstanceLock::~TSingleInstanceLock()
{
    if (FFd >= 0)
        ::close(FFd); // releases the lock
}

QString TSingleInstanceLock::DefaultFolder()
{
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (IsPrivateFolder(runtime))
        return runtime;
    const QString own = CacheFolder() + QStringLiteral("/Pelmora");
    QDir().mkpath(own);
    ::chmod(QFile::encodeName(own).constData(), 0700);
    return own;
}

bool TSingleInstanceLock::TryAcquire()
{
    if (FFd >= 0)
        return true;
    const int fd
        = ::open(QFile::encodeName(FPath).constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0)
        return true; // cannot tell whether another copy runs; better to run than to vanish
    // Someone else's file cannot decide whether this user's program runs.
    struct stat info { };
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || info.st_uid != ::geteuid()) {
        ::close(fd);
        return true;
    }
    int rc;
    do
        rc = ::flock(fd, LOCK_EX | LOCK_NB);
    while (rc != 0 && errno == EINTR);
    if (rc != 0) {
        ::close(fd);
        return false;
    }
    FFd = fd;
    return true;
}
