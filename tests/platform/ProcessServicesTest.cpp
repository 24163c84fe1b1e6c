// Single-instance lock, program directory, calendar, terminate and shell doubles.
#include "QtPrinters.h"
#include "Services.h"
#include "SingleInstanceLock.h"
#include <QCoreApplication>
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

TEST(SingleInstanceLock, DefaultFolderIsTheRuntimeFolderElseTemp)
{
    const QByteArray saved = qgetenv("XDG_RUNTIME_DIR");
    QTemporaryDir dir;
    qputenv("XDG_RUNTIME_DIR", dir.path().toLocal8Bit());
    EXPECT_EQ(TSingleInstanceLock::DefaultFolder(), dir.path());
    EXPECT_EQ(TSingleInstanceLock("Pelmora").FilePath(), dir.path() + "/Pelmora.lock");
    qunsetenv("XDG_RUNTIME_DIR");
    EXPECT_EQ(TSingleInstanceLock::DefaultFolder(), QDir::tempPath());
    // The shared temporary folder gets one lock per user.
    EXPECT_EQ(TSingleInstanceLock("Pelmora").FilePath(),
        QDir::tempPath() + QStringLiteral("/Pelmora-%1.lock").arg(::getuid()));
    if (!saved.isEmpty())
        qputenv("XDG_RUNTIME_DIR", saved);
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
