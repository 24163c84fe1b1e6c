// Single-instance lock, program directory, calendar, terminate and shell doubles.
#include "Services.h"
#include "SingleInstanceLock.h"
#include "qt_print.h"
#include "refused_writes.h"
#include <QCoreApplication>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <unistd.h>

TEST(SingleInstanceLock, ASecondHolderIsRefusedUntilTheFirstLetsGo)
{
    QTemporaryDir dir;
    auto first = std::make_unique<TSingleInstanceLock>("Pelmora", dir.path());
    EXPECT_EQ(first->FilePath(), dir.path() + "/Pelmora.lock");
    ASSERT_TRUE(first->TryAcquire());
    TSingleInstanceLock second("Pelmora", dir.path());
    EXPECT_FALSE(second.TryAcquire());
    EXPECT_FALSE(second.Held());
    first.reset();
    EXPECT_TRUE(second.TryAcquire());

    // A lock file that cannot be made at all must not stop the program.
    TSingleInstanceLock nowhere("Pelmora", dir.filePath("no/such/folder"));
    EXPECT_TRUE(nowhere.TryAcquire());
    EXPECT_FALSE(nowhere.Held());
}

// The lock lives where only this user can write, so no other user can take
// it first: the runtime folder when it is private, else the user's cache.
TEST(SingleInstanceLock, DefaultFolderIsAlwaysTheUsersOwn)
{
    const QByteArray savedRuntime = qgetenv("XDG_RUNTIME_DIR");
    const QByteArray savedCache = qgetenv("XDG_CACHE_HOME");
    QTemporaryDir runtime, cache; // private (0700) like a real runtime folder
    qputenv("XDG_CACHE_HOME", cache.path().toLocal8Bit());
    qputenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit());
    EXPECT_EQ(TSingleInstanceLock::DefaultFolder(), runtime.path());
    EXPECT_EQ(TSingleInstanceLock("Pelmora").FilePath(), runtime.path() + "/Pelmora.lock");

    const QString own = cache.path() + "/Pelmora";
    ASSERT_EQ(::chmod(QFile::encodeName(runtime.path()).constData(), 0777), 0);
    EXPECT_EQ(TSingleInstanceLock::DefaultFolder(), own) << "a runtime folder others may write is not used";
    qunsetenv("XDG_RUNTIME_DIR");
    EXPECT_EQ(TSingleInstanceLock::DefaultFolder(), own);
    EXPECT_EQ(QFileInfo(own).permissions()
            & (QFileDevice::ReadOther | QFileDevice::WriteOther | QFileDevice::ReadGroup
                | QFileDevice::WriteGroup),
        QFileDevice::Permissions());

    // A lock file another user placed cannot keep this user's program from starting.
    if (::geteuid() == 0) {
        TSingleInstanceLock foreign("Foreign", own);
        QFile placed(foreign.FilePath());
        ASSERT_TRUE(placed.open(QIODevice::WriteOnly));
        placed.close();
        ASSERT_EQ(::chown(QFile::encodeName(foreign.FilePath()).constData(), 65534, 65534), 0);
        EXPECT_TRUE(foreign.TryAcquire());
        EXPECT_FALSE(foreign.Held());
    }

    qputenv("XDG_CACHE_HOME", savedCache);
    if (savedCache.isEmpty())
        qunsetenv("XDG_CACHE_HOME");
    if (!savedRuntime.isEmpty())
        qputenv("XDG_RUNTIME_DIR", savedRuntime);
}

TEST(ProcessService, AProgramDirectoryTheUserCannotWriteGivesWayToTheConfigurationFolder)
{
    QTemporaryDir dir;
    const QString installed = dir.filePath("bin");
    const QString config = dir.filePath("config");
    ASSERT_TRUE(QDir().mkpath(installed));
    ASSERT_TRUE(QDir().mkpath(config));
    EXPECT_EQ(ResolveProgramDir({}, installed, config), installed + "/");
    EXPECT_EQ(ResolveProgramDir("/tmp/pelmora-test", installed, config), "/tmp/pelmora-test/");
    ShareFolder(dir.path());
    ShareFolder(installed);
    ASSERT_EQ(::chmod(QFile::encodeName(config).constData(), 0777), 0);
    {
        TWritesRefused readOnly(installed);
        EXPECT_EQ(ResolveProgramDir({}, installed, config), config + "/Pelmora/");
    }
    EXPECT_TRUE(QFileInfo(config + "/Pelmora").isDir());
}

TEST(ProcessService, ProgramDirFollowsTheEnvironmentVariable)
{
    TRealProcessService process;
    qunsetenv(ProgramDirVariable);
    EXPECT_EQ(process.ProgramDir(), QCoreApplication::applicationDirPath() + "/");
    qputenv(ProgramDirVariable, "/tmp/pelmora-test");
    EXPECT_EQ(process.ProgramDir(), "/tmp/pelmora-test/");
    qunsetenv(ProgramDirVariable);
}

TEST(TestServices, DoublesPinTheCalendarAndStopTheFlowOnTerminate)
{
    TTestServices test("/tmp/prog", QDate(2024, 3, 5));
    EXPECT_EQ(test.Services.Calendar->ShortDateFormat(), "dd.MM.yyyy");
    EXPECT_EQ(test.Services.Calendar->FormatShortDate(test.Services.Calendar->Today()), "05.03.2024");
    EXPECT_EQ(test.Services.Process->ProgramDir(), "/tmp/prog/");

    EXPECT_THROW(test.Services.Process->TerminateSelf(), ETerminateSelfCalled);
    EXPECT_EQ(test.Process->TerminateCount(), 1);

    EXPECT_TRUE(test.Services.Shell->OpenDocument("https://example.org/"));
    EXPECT_EQ(test.Shell->Opened(), QStringList({ "https://example.org/" }));
}
