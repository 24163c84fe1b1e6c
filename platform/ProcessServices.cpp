// Real and test implementations of the process, shell and calendar services.
// Invariant: ProgramDir always ends with "/" so file names append directly.
#include "ProcessServices.h"
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QUrl>
#include <fcntl.h>
#include <unistd.h>

namespace {

QString WithTrailingSlash(QString dir)
{
    if (!dir.endsWith(QLatin1Char('/')))
        dir += QLatin1Char('/');
    return dir;
}

} // namespace

void TRealProcessService::TerminateSelf()
{
    ::_exit(0);
}

QString ResolveProgramDir(const QString& overridden, const QString& applicationDir, const QString& configDir)
{
    if (!overridden.isEmpty())
        return WithTrailingSlash(overridden);
    // As the effective user: the one who would write the files.
    if (::faccessat(AT_FDCWD, QFile::encodeName(applicationDir).constData(), W_OK, AT_EACCESS) == 0)
        return WithTrailingSlash(applicationDir);
    const QString own = QDir(configDir).filePath(QStringLiteral("Pelmora"));
    QDir().mkpath(own); // a failure shows when the first file is written there
    return WithTrailingSlash(own);
}

QString TRealProcessService::ProgramDir() const
{
    return ResolveProgramDir(qEnvironmentVariable(ProgramDirVariable), QCoreApplication::applicationDirPath(),
        QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation));
}

QString TRealProcessService::DocumentsDir() const
{
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (!documents.isEmpty() && QDir().mkpath(documents))
        return WithTrailingSlash(documents);
    return WithTrailingSlash(QDir::homePath());
}

void TFakeProcessService::TerminateSelf()
{
    ++FTerminateCount;
    throw ETerminateSelfCalled {};
}

QString TFakeProcessService::ProgramDir() const
{
    return WithTrailingSlash(FProgramDir);
}

QString TFakeProcessService::DocumentsDir() const
{
    return WithTrailingSlash(FDocumentsDir.isEmpty() ? FProgramDir : FDocumentsDir);
}

bool TRealShellService::OpenDocument(const QString& target)
{
    // A local file opens as a file; anything else is taken as an address.
    const QUrl url = QFileInfo::exists(target) ? QUrl::fromLocalFile(QFileInfo(target).absoluteFilePath())
                                               : QUrl::fromUserInput(target);
    return url.isValid() && QDesktopServices::openUrl(url);
}

bool TFakeShellService::OpenDocument(const QString& target)
{
    FOpened << target;
    return FResult;
}
