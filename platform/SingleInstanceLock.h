#pragma once
// One running copy at a time: an exclusive flock on a lock file named after
// the program, held until the object is destroyed or the process ends (the
// kernel releases it at exit).
#include <QString>

class TSingleInstanceLock {
public:
    // name: the lock's name ("Pelmora"); folder: where the lock file lives,
    // empty for the default: "<name>.lock" in $XDG_RUNTIME_DIR, else
    // "<name>-<user id>.lock" in the temporary folder (one lock per user, as
    // the desktop session's named mutex was).
    explicit TSingleInstanceLock(const QString& name, const QString& folder = QString());
    ~TSingleInstanceLock();
    TSingleInstanceLock(const TSingleInstanceLock&) = delete;
    TSingleInstanceLock& operator=(const TSingleInstanceLock&) = delete;

    // Takes the lock without waiting; false only when another holder has it.
    // When the lock file cannot be opened at all nobody can be told apart, so
    // the caller may run: true, with Held() false.
    bool TryAcquire();
    bool Held() const { return FFd >= 0; }
    const QString& FilePath() const { return FPath; }

    static QString DefaultFolder();

private:
    QString FPath;
    int FFd = -1;
};
