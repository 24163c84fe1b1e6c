// Single-instance lock over flock. Invariant: FFd >= 0 exactly while this
// object holds the exclusive lock; the descriptor is close-on-exec so a
// program started from here does not inherit the lock.
#include "SingleInstanceLock.h"
#include <QDir>
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace {

QString DefaultPath(const QString& name)
{
    const QString folder = TSingleInstanceLock::DefaultFolder();
    if (folder == QDir::tempPath())
        return folder + QLatin1Char('/') + name + QLatin1Char('-') + QString::number(::getuid())
            + QStringLiteral(".lock");
    return folder + QLatin1Char('/') + name + QStringLiteral(".lock");
}

} // namespace

TSingleInstanceLock::TSingleInstanceLock(const QString& name, const QString& folder)
    : FPath(folder.isEmpty() ? DefaultPath(name) : folder + QLatin1Char('/') + name + QStringLiteral(".lock"))
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
    if (!runtime.isEmpty() && QDir(runtime).exists())
        return runtime;
    return QDir::tempPath();
}

bool TSingleInstanceLock::TryAcquire()
{
    if (FFd >= 0)
        return true;
    const int fd = ::open(QFile::encodeName(FPath).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0)
        return true; // cannot tell whether another copy runs; better to run than to vanish
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
