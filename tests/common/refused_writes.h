// Making the file system refuse a database write for real: a folder in which
// no file can be created while a TWritesRefused scope lives, so SQLite cannot
// create the journal it needs for any change.
#pragma once

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>
#include <gtest/gtest.h>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

// Lets "nobody" reach files below folder (a temporary folder is private to
// its owner) and write the named files themselves.
inline void ShareFolder(const QString& folder, const QStringList& writableFiles = {})
{
    ASSERT_EQ(::chmod(QFile::encodeName(folder).constData(), 0755), 0);
    for (const QString& file : writableFiles)
        ASSERT_EQ(::chmod(QFile::encodeName(QDir(folder).filePath(file)).constData(), 0666), 0);
}

// While it lives, file modes bind this process. Root writes anywhere
// regardless of modes, so root takes the effective identity of "nobody" for
// the scope and gets its own back at the end; anyone else stays who they are.
class TModesBind {
public:
    TModesBind()
    {
        if (::geteuid() == 0)
            FWasRoot = ::seteuid(NobodyId) == 0;
    }
    ~TModesBind()
    {
        if (FWasRoot && ::seteuid(0) != 0)
            std::abort(); // the rest of the run must not go on as somebody else
    }
    TModesBind(const TModesBind&) = delete;
    TModesBind& operator=(const TModesBind&) = delete;

private:
    static constexpr uid_t NobodyId = 65534;
    bool FWasRoot = false;
};

// While it lives, folder is read-only for this process.
class TWritesRefused {
public:
    explicit TWritesRefused(QString folder)
        : FFolder(std::move(folder))
    {
        ::chmod(QFile::encodeName(FFolder).constData(), 0555);
        FModes.emplace();
    }
    ~TWritesRefused()
    {
        FModes.reset();
        ::chmod(QFile::encodeName(FFolder).constData(), 0755);
    }
    TWritesRefused(const TWritesRefused&) = delete;
    TWritesRefused& operator=(const TWritesRefused&) = delete;

private:
    QString FFolder;
    std::optional<TModesBind> FModes;
};
