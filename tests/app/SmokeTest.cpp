// Starts the real program on a virtual X display with a prepared program
// directory: it must come up and stay up, and a second copy must end at once
// with exit code 0. Skipped when Xvfb is not installed.
#include "AppFixture.h"

#include <QProcess>
#include <QStandardPaths>

namespace {

// A private X server for the test; stops with the object.
class TVirtualDisplay {
public:
    bool Start()
    {
        // -displayfd: the server picks a free display and writes its number.
        FServer.start(
            QStringLiteral("Xvfb"), { "-displayfd", "1", "-nolisten", "tcp", "-screen", "0", "1024x768x24" });
        if (!FServer.waitForStarted(10000))
            return false;
        QByteArray number;
        while (!number.contains('\n') && FServer.waitForReadyRead(20000))
            number += FServer.readAllStandardOutput();
        FDisplay = QStringLiteral(":") + QString::fromLatin1(number.trimmed());
        return !number.trimmed().isEmpty();
    }
    ~TVirtualDisplay()
    {
        FServer.kill();
        FServer.waitForFinished(5000);
    }
    const QString& Display() const { return FDisplay; }

private:
    QProcess FServer;
    QString FDisplay;
};

} // namespace

class SmokeTest : public AppFixture { };

TEST_F(SmokeTest, RealProgramStaysUpAndSecondCopyEndsAtOnce)
{
    if (QStandardPaths::findExecutable(QStringLiteral("Xvfb")).isEmpty())
        GTEST_SKIP() << "Xvfb is not installed";
    TVirtualDisplay display;
    ASSERT_TRUE(display.Start());

    Configure(MakeDatabase("log.mdb", { { "My car", "oil", "01.02.2024", "10", "", "100" } }));
    QTemporaryDir runtime; // the single-instance lock lives here, apart from any other copy
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("PELMORA_PROGRAM_DIR", Dir.path());
    env.insert("XDG_RUNTIME_DIR", runtime.path());
    env.insert("DISPLAY", display.Display());
    env.insert("QT_QPA_PLATFORM", "xcb");

    QProcess first;
    first.setProcessEnvironment(env);
    first.start(QStringLiteral(PELMORA_BINARY), {});
    ASSERT_TRUE(first.waitForStarted(10000));
    // Up and still running after start-up has had time to finish.
    EXPECT_FALSE(first.waitForFinished(3000)) << first.readAllStandardError().toStdString();
    EXPECT_EQ(first.state(), QProcess::Running);
    EXPECT_TRUE(QFileInfo::exists(CarList())) << "start-up created the car list";

    QProcess second;
    second.setProcessEnvironment(env);
    second.start(QStringLiteral(PELMORA_BINARY), {});
    ASSERT_TRUE(second.waitForFinished(10000));
    EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.exitCode(), 0);
    EXPECT_EQ(first.state(), QProcess::Running) << "the running copy is not disturbed";

    first.kill();
    first.waitForFinished(5000);
}
