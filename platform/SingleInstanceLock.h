#pragma once
// One running copy at a time: an exclusive flock on a lock file named after
// the program, held until the object is destroyed or the process ends (the
// kernel releases it at exit).
#include <QString>

class TSingleInstanceLock {
public:
    // name: the lock's name ("Pelmora"); folder: where the lock file lives,
    // empty for DefaultFolder().
    explicit TSingleInstanceLock(const QString& name, const QString& folder = QString());
    ~TSingleInstanceLock();
    TSingleInstanceLock(const TSingleInstanceLock&) = delete;
    TSingleInstanceLock& operator=(const TSingleInstanceLock&) = delete;

    // Takes the lock without waiting; false only when another holder has it.
    // When the lock file cannot be opened at all (or is not this user's)
    // nobody can be told apart, so the caller may run: true, with Held() false.
    bool TryAcquire();
    bool Held() const { return FFd >= 0; }
    const QString& FilePath() const { return FPath; }

    // A folder only this user can write, so no other user can take the lock
    // first or hold it: $XDG_RUNTIME_DIR when it is this user's private
    // folder, else "Pelmora" in the user's cache folder (~/.cache), created
    // private when missing. Never a folder shared by all users.
    static QString DefaultFolder();

private:
    QString FPath;
    int FFd = -1;
};
