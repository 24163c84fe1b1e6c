// Reading and creating the car-list file. Invariant: an existing file is
// never rewritten here; only the car-list editor replaces it.
#include "CarListFile.h"

#include "PelmoraError.h"

#include <QFile>
#include <QFileInfo>
#include <QStringConverter>

void EnsureCarListFile(const QString& path)
{
    if (QFileInfo::exists(path))
        return;
    QFile file(path);
    // NewOnly: a file that appears meanwhile is left alone, never truncated.
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly))
        throw EPelmoraError(QStringLiteral("Cannot create file \"%1\". %2")
                                .arg(QFileInfo(path).absoluteFilePath(), file.errorString()));
    QStringEncoder encoder(QStringConverter::System);
    const QByteArray bytes = encoder.encode(QStringLiteral("My car\r\n"));
    if (file.write(bytes) != bytes.size() || !file.flush())
        throw EPelmoraError(QStringLiteral("Cannot write file \"%1\". %2")
                                .arg(QFileInfo(path).absoluteFilePath(), file.errorString()));
}

QStringList ReadCarList(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw EPelmoraError(QStringLiteral("Cannot open file \"%1\". %2")
                                .arg(QFileInfo(path).absoluteFilePath(), file.errorString()));
    QStringDecoder decoder(QStringConverter::System);
    QString text = decoder.decode(file.readAll());
    if (const qsizetype nul = text.indexOf(QChar(0)); nul >= 0)
        text.truncate(nul);
    QStringList names;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] != QLatin1Char('\r') && text[i] != QLatin1Char('\n'))
            continue;
        names << text.mid(start, i - start);
        if (text[i] == QLatin1Char('\r') && i + 1 < text.size() && text[i + 1] == QLatin1Char('\n'))
            ++i;
        start = i + 1;
    }
    if (start < text.size())
        names << text.mid(start);
    return names;
}
