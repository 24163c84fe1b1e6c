// Creation of the report engine's temporary files. A file always gets its
// real name at once, so that its owner can list it and nothing stays
// anonymous.
#include "rpTempFile.h"

#include "rpXML.h"

#include <QDir>
#include <QFileInfo>

std::unique_ptr<QTemporaryFile> rpCreateTempFile(const QString& TempDir, const QString& Prefix)
{
    const QString dir = !TempDir.isEmpty() && QFileInfo(TempDir).isDir() ? TempDir : QDir::tempPath();
    auto tmp = std::make_unique<QTemporaryFile>(QDir(dir).filePath(Prefix + QStringLiteral("XXXXXX")));
    if (!tmp->open())
        throw TrpStorageError(QStringLiteral("Cannot create a temporary file in \"%1\"").arg(dir));
    (void)tmp->fileName();
    return tmp;
}
