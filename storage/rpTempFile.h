// Temporary files of the report engine: the XML document's unloaded items
// and the picture cache's segments.
#pragma once

#include <QString>
#include <QTemporaryFile>
#include <memory>

// A new temporary file, opened for reading and writing, named Prefix and a
// unique suffix, in TempDir when that folder exists, else in the system's
// temporary folder. The file is deleted when the object is destroyed.
// Throws TrpStorageError when no file can be created.
std::unique_ptr<QTemporaryFile> rpCreateTempFile(const QString& TempDir, const QString& Prefix);
