// The car-list file: creating it, decoding and encoding it, and the encoding
// a car combo box remembers with its names.
//
// File layout: [byte-order mark] name CR LF name CR LF ... The mark is
// EF BB BF (UTF-8), FF FE (UTF-16 LE) or FE FF (UTF-16 BE); without one the
// bytes are in the locale's character set, or in the older 8-bit code page
// when they are no text in it. On reading, any of CR LF, CR, LF ends a line
// and a NUL character ends the text.
// Invariants: an existing file is only ever replaced whole (a failed write
// leaves the old one) and a new one appears whole; EncodeCarList(
// DecodeCarList(b)) gives b back for every undamaged file whose lines all
// end in CR LF and hold no NUL; bytes that could not be read are never
// written back as replacement characters.
#include "CarListFile.h"

#include "CodePage.h"
#include "PelmoraError.h"

#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QSaveFile>
#include <QStringConverter>
#include <QTemporaryFile>

#include <optional>
#include <unistd.h>

namespace {

// The combo box properties that carry the list's encoding and damage.
constexpr const char* EncodingProperty = "carListEncoding";
constexpr const char* DamagedProperty = "carListDamaged";
constexpr char16_t ReplacementCharacter = 0xFFFD;

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
    case TTextEncoding::Windows1251:
    case TTextEncoding::Windows1252:
        break;
    }
    return QStringConverter::System;
}

std::optional<TCodePage> CodePageOf(TTextEncoding encoding)
{
    if (encoding == TTextEncoding::Windows1251)
        return TCodePage::Windows1251;
    if (encoding == TTextEncoding::Windows1252)
        return TCodePage::Windows1252;
    return std::nullopt;
}

// The body of a file (after its mark) in encoding; nullopt when the
// encoding cannot hold every character.
std::optional<QByteArray> EncodeText(TTextEncoding encoding, const QString& text)
{
    QByteArray bytes;
    if (const std::optional<TCodePage> codePage = CodePageOf(encoding)) {
        if (!EncodeCodePage(*codePage, text, bytes))
            return std::nullopt;
        return bytes;
    }
    QStringEncoder encoder(Converter(encoding));
    bytes = encoder.encode(text);
    if (encoder.hasError())
        return std::nullopt;
    return bytes;
}

bool IsAscii(QByteArrayView bytes)
{
    for (const char byte : bytes)
        if (static_cast<unsigned char>(byte) >= 0x80)
            return false;
    return true;
}

bool IsUtf8(QByteArrayView bytes)
{
    QStringDecoder decoder(QStringConverter::Utf8);
    const QString text = decoder.decode(bytes); // decodes only when taken as text
    return !decoder.hasError();
}

// The body of a file in encoding when reading the file gives the same text;
// nullopt when it would not: a character the encoding lacks, or bytes that
// reading would take for another encoding (a file without a mark that starts
// like one; code-page bytes that also form UTF-8, which the locale's
// character set claims first).
std::optional<QByteArray> FaithfulBody(TTextEncoding encoding, const QString& text)
{
    std::optional<QByteArray> body = EncodeText(encoding, text);
    if (!body || encoding == TTextEncoding::Utf8 || encoding == TTextEncoding::Utf16LE
        || encoding == TTextEncoding::Utf16BE)
        return body;
    for (const TByteOrderMark& mark : Marks)
        if (body->startsWith(mark.Bytes))
            return std::nullopt;
    if (CodePageOf(encoding) && !IsAscii(*body) && IsUtf8(*body))
        return std::nullopt;
    return body;
}

QString JoinedLines(const QStringList& names)
{
    QString text;
    for (const QString& name : names)
        text += name + QStringLiteral("\r\n");
    return text;
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
    const QByteArray bytes = EncodeCarList({ { QStringLiteral("My car") }, TTextEncoding::Ansi });
    // Written whole under a temporary name, then given its name: a crash
    // part-way leaves no empty or cut-off list that would be read as the user's.
    QTemporaryFile file(QFileInfo(path).absolutePath() + QStringLiteral("/.cars.lst-XXXXXX"));
    if (!file.open())
        throw EPelmoraError(
            QStringLiteral("Cannot create file \"%1\". %2").arg(FullName(path), file.errorString()));
    if (file.write(bytes) != bytes.size() || !file.flush() || ::fsync(file.handle()) != 0)
        throw EPelmoraError(
            QStringLiteral("Cannot write file \"%1\". %2").arg(FullName(path), file.errorString()));
    // Renaming never replaces a file: one that appeared meanwhile is left alone.
    if (!file.rename(path)) {
        if (QFileInfo::exists(path))
            return;
        throw EPelmoraError(
            QStringLiteral("Cannot create file \"%1\". %2").arg(FullName(path), file.errorString()));
    }
    file.setAutoRemove(false);
}

TTextEncoding LegacyEncoding(const QLocale& locale)
{
    switch (locale.language()) {
    case QLocale::Russian:
    case QLocale::Ukrainian:
    case QLocale::Belarusian:
    case QLocale::Bulgarian:
    case QLocale::Macedonian:
    case QLocale::Kazakh:
    case QLocale::Kyrgyz:
    case QLocale::Tatar:
    case QLocale::Mongolian:
        return TTextEncoding::Windows1251;
    case QLocale::Serbian:
        return locale.script() == QLocale::LatinScript ? TTextEncoding::Windows1252
                                                       : TTextEncoding::Windows1251;
    default:
        return TTextEncoding::Windows1252;
    }
}

TCarList DecodeCarList(const QByteArray& bytes, TTextEncoding legacy)
{
    TCarList list;
    QByteArrayView body(bytes);
    bool marked = false;
    for (const TByteOrderMark& mark : Marks) {
        if (bytes.startsWith(mark.Bytes)) {
            list.Encoding = mark.Encoding;
            body = body.sliced(mark.Bytes.size());
            marked = true;
            break;
        }
    }
    // The text ends at the first NUL, which in the 8-bit forms is the first
    // zero byte. Only the bytes before it decide between the locale's
    // character set and the older code page: what follows is never read and
    // must not turn the names into another code page's text.
    if (list.Encoding != TTextEncoding::Utf16LE && list.Encoding != TTextEncoding::Utf16BE)
        if (const qsizetype nul = body.indexOf('\0'); nul >= 0)
            body = body.first(nul);
    // The mark is gone already; a second one belongs to the first name.
    QStringDecoder decoder(Converter(list.Encoding), QStringConverter::Flag::ConvertInitialBom);
    QString text = decoder.decode(body);
    if (decoder.hasError()) {
        const std::optional<TCodePage> codePage = CodePageOf(legacy);
        if (!marked && codePage) {
            // No text in the locale's character set: a list of an older version.
            list.Encoding = legacy;
            text = DecodeCodePage(*codePage, body, &list.Damaged);
        } else {
            list.Damaged = true;
        }
    }
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

TTextEncoding WritableEncoding(const TCarList& list)
{
    const QString text = JoinedLines(list.Names);
    for (const TTextEncoding encoding : { list.Encoding, TTextEncoding::Utf8 })
        if (FaithfulBody(encoding, text))
            return encoding;
    // Lone surrogates, which UTF-8 cannot carry; UTF-16 keeps every code unit.
    return TTextEncoding::Utf16LE;
}

QByteArray EncodeCarList(const TCarList& list)
{
    const TTextEncoding encoding = WritableEncoding(list);
    // The encoding picked holds the text (UTF-16 holds any).
    const QByteArray body = EncodeText(encoding, JoinedLines(list.Names)).value_or(QByteArray());
    QByteArray bytes;
    for (const TByteOrderMark& mark : Marks)
        if (mark.Encoding == encoding)
            bytes = mark.Bytes;
    return bytes + body;
}

TCarList ReadCarList(const QString& path, TTextEncoding legacy)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw EPelmoraError(
            QStringLiteral("Cannot open file \"%1\". %2").arg(FullName(path), file.errorString()));
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw EPelmoraError(
            QStringLiteral("Cannot read file \"%1\". %2").arg(FullName(path), file.errorString()));
    return DecodeCarList(bytes, legacy);
}

TTextEncoding WriteCarList(const QString& path, const TCarList& list)
{
    if (list.Damaged) {
        for (const QString& name : list.Names)
            if (name.contains(QChar(ReplacementCharacter)))
                throw EPelmoraError(QStringLiteral("The car list \"%1\" was not saved: the name \"%2\" holds "
                                                   "characters (shown as \"%3\") that could not be read from "
                                                   "the file. Correct or remove it and save again.")
                                        .arg(FullName(path), name, QString(QChar(ReplacementCharacter))));
    }
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
    return WritableEncoding(list);
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

bool CarListDamaged(const QComboBox& combo)
{
    return combo.property(DamagedProperty).toBool();
}

void SetCarListDamaged(QComboBox& combo, bool damaged)
{
    combo.setProperty(DamagedProperty, damaged);
}

QStringList ComboItems(const QComboBox& combo)
{
    QStringList items;
    items.reserve(combo.count());
    for (int i = 0; i < combo.count(); ++i)
        items << combo.itemText(i);
    return items;
}
