// Packed page items. Layout (varint = unsigned LEB128):
//
//   page    := varint(count) item{count}
//   item    := varint(name id) text varint(count) item{count}
//   text    := varint(0)                  empty text
//            | varint(1) string           any other text, kept as it is
//            | varint(n + 2) attr{n}      n >= 1 pairs ` name="value"`
//   attr    := varint(attribute id) string      the value as written, escaped
//   string  := varint(length * 4 + kind) bytes
//              kind 0: Latin-1, one byte per character
//              kind 1: UTF-16LE, two bytes per character
//              kind 2: digits and ".-,:/ " as 4-bit codes, two per byte (low
//                      nibble first); positions, dates and amounts take half
//                      the room
//
// Names are numbered in the order they are first met; the tables live as
// long as the packer, so every form it made can be read back. A text is
// split into pairs only when writing the pairs back gives the same text,
// which keeps the round trip exact for any text.
#include "rpPagePack.h"

#include "rpXML.h"

namespace {

void PutVarint(QByteArray& Out, uint64_t V)
{
    while (V >= 0x80) {
        Out.append(char(uint8_t(V) | 0x80));
        V >>= 7;
    }
    Out.append(char(V));
}

// The 4-bit alphabet of kind-2 strings.
constexpr char16_t Nibbles[16]
    = { u'0', u'1', u'2', u'3', u'4', u'5', u'6', u'7', u'8', u'9', u'.', u'-', u',', u':', u'/', u' ' };

int NibbleOf(char16_t C)
{
    if (C >= u'0' && C <= u'9')
        return C - u'0';
    switch (C) {
    case u'.':
        return 10;
    case u'-':
        return 11;
    case u',':
        return 12;
    case u':':
        return 13;
    case u'/':
        return 14;
    case u' ':
        return 15;
    }
    return -1;
}

void PutString(QByteArray& Out, QStringView S)
{
    bool narrow = true;
    bool nibbles = S.size() >= 2;
    for (QChar c : S) {
        if (c.unicode() > 0xFF)
            narrow = nibbles = false;
        else if (nibbles && NibbleOf(c.unicode()) < 0)
            nibbles = false;
        if (!narrow)
            break;
    }
    PutVarint(Out, uint64_t(S.size()) * 4 + (nibbles ? 2 : narrow ? 0 : 1));
    if (nibbles) {
        for (qsizetype i = 0; i < S.size(); i += 2) {
            const int lo = NibbleOf(S[i].unicode());
            const int hi = i + 1 < S.size() ? NibbleOf(S[i + 1].unicode()) : 0;
            Out.append(char(lo | (hi << 4)));
        }
    } else if (narrow) {
        const qsizetype at = Out.size();
        Out.resize(at + S.size());
        char* p = Out.data() + at;
        for (QChar c : S)
            *p++ = char(c.unicode());
    } else {
        for (QChar c : S) {
            Out.append(char(c.unicode() & 0xFF));
            Out.append(char(c.unicode() >> 8));
        }
    }
}

class TReader {
public:
    explicit TReader(const QByteArray& Bytes)
        : FData(reinterpret_cast<const uint8_t*>(Bytes.constData()))
        , FEnd(FData + Bytes.size())
    {
    }
    uint64_t Varint()
    {
        uint64_t v = 0;
        for (int shift = 0; shift < 64; shift += 7) {
            if (FData == FEnd)
                Fail();
            const uint8_t b = *FData++;
            v |= uint64_t(b & 0x7F) << shift;
            if (!(b & 0x80))
                return v;
        }
        Fail();
    }
    // Appends the string to Out.
    void String(QString& Out)
    {
        const uint64_t head = Varint();
        const uint64_t length = head / 4;
        const uint64_t kind = head % 4;
        const uint64_t bytes = kind == 2 ? (length + 1) / 2 : kind == 1 ? length * 2 : length;
        if (kind == 3 || length > (uint64_t(1) << 40) || bytes > uint64_t(FEnd - FData))
            Fail();
        if (kind == 2) {
            for (uint64_t i = 0; i < length; ++i)
                Out += QChar(Nibbles[(FData[i / 2] >> (i % 2 ? 4 : 0)) & 0xF]);
            FData += bytes;
        } else if (kind == 1) {
            for (uint64_t i = 0; i < length; ++i, FData += 2)
                Out += QChar(char16_t(FData[0] | (FData[1] << 8)));
        } else {
            Out += QLatin1StringView(reinterpret_cast<const char*>(FData), qsizetype(length));
            FData += length;
        }
    }
    size_t Index(size_t Limit)
    {
        const uint64_t v = Varint();
        if (v >= Limit)
            Fail();
        return size_t(v);
    }
    [[noreturn]] static void Fail() { throw TrpStorageError(QStringLiteral("Damaged packed page")); }

private:
    const uint8_t* FData;
    const uint8_t* FEnd;
};

} // namespace

int TrpPagePack::NameId(const QString& Name)
{
    // Item names are shared copies of a few alias names: their text buffer
    // identifies them without hashing the characters.
    const auto known = FNameBuffers.constFind(Name.constData());
    if (known != FNameBuffers.cend())
        return *known;
    auto it = FNameIds.constFind(Name);
    if (it == FNameIds.cend()) {
        FNames.push_back(Name);
        it = FNameIds.insert(Name, int(FNames.size()) - 1);
    }
    // Kept in FNames, the buffer cannot be freed and reused by another text.
    if (FNames[size_t(*it)].constData() == Name.constData())
        FNameBuffers.insert(Name.constData(), *it);
    return *it;
}

int TrpPagePack::AttrId(QStringView Name)
{
    // A handful of names (t, u, l, w, h, ...): a scan beats hashing a copy.
    for (size_t i = 0; i < FAttrs.size(); ++i)
        if (FAttrs[i] == Name)
            return int(i);
    FAttrs.push_back(Name.toString());
    return int(FAttrs.size()) - 1;
}

void TrpPagePack::PackText(const QString& Text, QByteArray& Out)
{
    if (Text.isEmpty()) {
        PutVarint(Out, 0);
        return;
    }
    // Split into ` name="value"` pairs; anything else is kept raw.
    struct TPair {
        QStringView Name, Value;
    };
    TPair pairs[16];
    int n = 0;
    const QStringView t(Text);
    qsizetype i = 0;
    bool split = true;
    while (i < t.size()) {
        const qsizetype eq = t.indexOf(u'=', i);
        if (n == 16 || t[i] != u' ' || eq < 0 || eq + 1 >= t.size() || t[eq + 1] != u'"') {
            split = false;
            break;
        }
        const qsizetype close = t.indexOf(u'"', eq + 2);
        const QStringView name = t.mid(i + 1, eq - i - 1);
        if (close < 0 || name.isEmpty() || name.contains(u' ') || name.contains(u'"')) {
            split = false;
            break;
        }
        pairs[n++] = { name, t.mid(eq + 2, close - eq - 2) };
        i = close + 1;
    }
    if (!split) {
        PutVarint(Out, 1);
        PutString(Out, Text);
        return;
    }
    PutVarint(Out, uint64_t(n) + 2);
    for (int k = 0; k < n; ++k) {
        PutVarint(Out, uint64_t(AttrId(pairs[k].Name)));
        PutString(Out, pairs[k].Value);
    }
}

void TrpPagePack::PackItem(const TrpXMLItem* Item, QByteArray& Out)
{
    PutVarint(Out, uint64_t(NameId(Item->Name())));
    PackText(Item->Text(), Out);
    PutVarint(Out, uint64_t(Item->Count()));
    for (int i = 0; i < Item->Count(); ++i)
        PackItem(Item->Items(i), Out);
}

QByteArray TrpPagePack::Pack(const TrpXMLItem* Item)
{
    QByteArray out;
    out.reserve(4096);
    PutVarint(out, uint64_t(Item->Count()));
    for (int i = 0; i < Item->Count(); ++i)
        PackItem(Item->Items(i), out);
    out.squeeze();
    return out;
}

void TrpPagePack::Unpack(const QByteArray& Bytes, TrpXMLItem* Item) const
{
    TReader reader(Bytes);
    // Explicit stack instead of recursion: (parent, children still to read).
    std::vector<std::pair<TrpXMLItem*, uint64_t>> stack;
    stack.emplace_back(Item, reader.Varint());
    while (!stack.empty()) {
        if (stack.back().second == 0) {
            stack.pop_back();
            continue;
        }
        --stack.back().second;
        TrpXMLItem* item = stack.back().first->Add(FNames[reader.Index(FNames.size())]);
        const uint64_t kind = reader.Varint();
        if (kind == 1) {
            QString text;
            reader.String(text);
            item->SetText(text);
        } else if (kind >= 2) {
            QString text;
            text.reserve(32);
            for (uint64_t k = 0; k < kind - 2; ++k) {
                text += u' ';
                text += FAttrs[reader.Index(FAttrs.size())];
                text += u"=\"";
                reader.String(text);
                text += u'"';
            }
            item->SetText(text);
        }
        const uint64_t children = reader.Varint();
        if (children > 0) {
            if (stack.size() > size_t(TrpXMLDocument::MaxDepth))
                TReader::Fail();
            stack.emplace_back(item, children);
        }
    }
}

int TrpPagePack::Count(const QByteArray& Bytes)
{
    return Bytes.isEmpty() ? 0 : int(TReader(Bytes).Varint());
}

void TrpPagePack::Clear()
{
    FNames.clear();
    FNameIds.clear();
    FNameBuffers.clear();
    FAttrs.clear();
}
