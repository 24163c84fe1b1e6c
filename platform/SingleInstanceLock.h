#pragma once
// One running copy at a time: an exclusive flock on a lock file named after
// the program, held until the object is destroyed or the process ends (the
// kernel releases it at exit).
#include <QString>

class TSingleInstanceLock
{
public:
    // name: the lock's name ("Pelmora"); folder: where the lock file lives,
    // empty for the default ($XDG_RUNTIME_DIR, else the temporary folder).
    explicit TSingleInstanceLock(const QString &name, const QString &folder = QString());
    ~TSingleInstanceLock();
    TSingleInstanceLock(const TSingleInstanceLock &) = delete;
    TSingleInstanceLock &operator=(const TSingleInstanceLock &) = delete;

    // Takes the lock without waiting; false when another holder has it (or
    // the lock file cannot be opened: then we cannot tell, and refuse).
    bool TryAcquire();
    bool Held() const { return FFd >= 0; }
    const QString &FilePath() const { return FPath; }

    static QString DefaultFolder();

private:
    QString FPath;
    int FFd = -1;
};
