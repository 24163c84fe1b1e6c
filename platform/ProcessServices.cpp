// Real and test implementations of the process, shell and calendar services.
// Invariant: ProgramDir always ends with "/" so file names append directly.
#include "ProcessServices.h"
#include <QCoreApplication>
#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>
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

QString TRealProcessService::ProgramDir() const
{
    const QString overridden = qEnvironmentVariable(ProgramDirVariable);
    return WithTrailingSlash(overridden.isEmpty() ? QCoreApplication::applicationDirPath() : overridden);
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
