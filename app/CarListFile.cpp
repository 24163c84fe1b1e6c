// The car-list file: creating it, decoding and encoding it, and the encoding
// a car combo box remembers with its names.
//
// File layout: [byte-order mark] name CR LF name CR LF ... The mark is
// EF BB BF (UTF-8), FF FE (UTF-16 LE) or FE FF (UTF-16 BE); without one the
// bytes are in the locale's character set. On reading, any of CR LF, CR, LF
// ends a line and a NUL character ends the text.
// Invariants: an existing file is only ever replaced whole (a failed write
// leaves the old one); EncodeCarList(DecodeCarList(b)) gives b back for
// every file whose lines all end in CR LF and hold no NUL.
#include "CarListFile.h"

#include "PelmoraError.h"

#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringConverter>

namespace {

// The combo box property that carries the list's encoding.
constexpr const char* EncodingProperty = "carListEncoding";

struct TByteOrderMark {
    TTextEncoding Encoding;
    QByteArray Bytes;
};

const TByteOrderMark Marks[] = {
    { TTextEncoding::Utf8, QByteArray("\xEF\xBB\xBF", 3) },
    { TTextEncoding::Utf16LE, QByteArray("\xFF\xFE", 2) },
    { TTextEncoding::Utf16BE, QByteArray("\xFE\xFF", 2) },
};

QStringConverter::Encoding Converter(TTextEncoding encoding)
{
    switch (encoding) {
    case TTextEncoding::Utf8:
        return QStringConverter::Utf8;
    case TTextEncoding::Utf16LE:
        return QStringConverter::Utf16LE;
    case TTextEncoding::Utf16BE:
        return QStringConverter::Utf16BE;
    case TTextEncoding::Ansi:
        break;
    }
    return QStringConverter::System;
}

QString FullName(const QString& path)
{
    return QFileInfo(path).absoluteFilePath();
}

} // namespace

void EnsureCarListFile(const QString& path)
{
    if (QFileInfo::exists(path))
        return;
    QFile file(path);
    // NewOnly: a file that appears meanwhile is left alone, never truncated.
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly))
        throw EPelmoraError(
            QStringLiteral("Cannot create file \"%1\". %2").arg(FullName(path), file.errorString()));
    const QByteArray bytes = EncodeCarList({ { QStringLiteral("My car") }, TTextEncoding::Ansi });
    if (file.write(bytes) != bytes.size() || !file.flush())
        throw EPelmoraError(
            QStringLiteral("Cannot write file \"%1\". %2").arg(FullName(path), file.errorString()));
}

TCarList DecodeCarList(const QByteArray& bytes)
{
    TCarList list;
    QByteArrayView body(bytes);
    for (const TByteOrderMark& mark : Marks) {
        if (bytes.startsWith(mark.Bytes)) {
            list.Encoding = mark.Encoding;
            body = body.sliced(mark.Bytes.size());
            break;
        }
    }
    // The mark is gone already; a second one belongs to the first name.
    QStringDecoder decoder(Converter(list.Encoding), QStringConverter::Flag::ConvertInitialBom);
    QString text = decoder.decode(body);
    if (const qsizetype nul = text.indexOf(QChar(0)); nul >= 0)
        text.truncate(nul);

    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] != QLatin1Char('\r') && text[i] != QLatin1Char('\n'))
            continue;
        list.Names << text.mid(start, i - start);
        if (text[i] == QLatin1Char('\r') && i + 1 < text.size() && text[i + 1] == QLatin1Char('\n'))
            ++i;
        start = i + 1;
    }
    if (start < text.size())
        list.Names << text.mid(start);
    return list;
}

QByteArray EncodeCarList(const TCarList& list)
{
    QByteArray bytes;
    for (const TByteOrderMark& mark : Marks)
        if (mark.Encoding == list.Encoding)
            bytes = mark.Bytes;
    QString text;
    for (const QString& name : list.Names)
        text += name + QStringLiteral("\r\n");
    QStringEncoder encoder(Converter(list.Encoding));
    bytes += encoder.encode(text);
    return bytes;
}

TCarList ReadCarList(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw EPelmoraError(
            QStringLiteral("Cannot open file \"%1\". %2").arg(FullName(path), file.errorString()));
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw EPelmoraError(
            QStringLiteral("Cannot read file \"%1\". %2").arg(FullName(path), file.errorString()));
    return DecodeCarList(bytes);
}

void WriteCarList(const QString& path, const TCarList& list)
{
    // Written beside the old file and renamed over it: a failure part-way
    // never leaves a cut-off list behind.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw EPelmoraError(
            QStringLiteral("Cannot create file \"%1\". %2").arg(FullName(path), file.errorString()));
    const QByteArray bytes = EncodeCarList(list);
    if (file.write(bytes) != bytes.size() || !file.commit())
        throw EPelmoraError(
            QStringLiteral("Cannot write file \"%1\". %2").arg(FullName(path), file.errorString()));
}

TTextEncoding CarListEncoding(const QComboBox& combo)
{
    const QVariant value = combo.property(EncodingProperty);
    return value.isValid() ? TTextEncoding(value.toInt()) : TTextEncoding::Ansi;
}

void SetCarListEncoding(QComboBox& combo, TTextEncoding encoding)
{
    combo.setProperty(EncodingProperty, int(encoding));
}

QStringList ComboItems(const QComboBox& combo)
{
    QStringList items;
    items.reserve(combo.count());
    for (int i = 0; i < combo.count(); ++i)
        items << combo.itemText(i);
    return items;
}
