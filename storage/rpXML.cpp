// XML item model, reader and writer.
//
// Stored form, element by element:
//   header   <?xml version="1.0" encoding="utf-8" standalone="no"?>
//            (a header with version "1.0" and no standalone= marks a file of
//            the older writer: attribute texts in the local 8-bit encoding)
//   item     "<" name [" " attribute text] [" ld=\"0\""] then
//              ">" children "</" name ">"   when it has children
//              ">" escaped value "</" name ">"   when it has a value only
//              "/>"                          otherwise
//   comment  "<!--" ... "-->" anywhere between tags; skipped
// Character data between tags is skipped by the reader. ld="0" marks an
// item whose children may live outside memory (unloadable).
//
// Invariants:
//   1. An item owns its children; every child's Parent() is that item.
//   2. A not-loaded item has no children in memory; its children are found
//      at Offset() in the temporary file (FInTempFile) or in the source.
//   3. The reader never recurses and never nests deeper than MaxDepth, so
//      hostile input costs at most its own size in memory.
#include "rpXML.h"

#include "rpTempFile.h"

#include <QFile>
#include <QHash>

#include <cstring>
#include <filesystem>

namespace {
const QString InvalidFormatText = QStringLiteral("Invalid file format");
const char XMLHeader[] = "<?xml version=\"1.0\" encoding=\"utf-8\" standalone=\"no\"?>";
const QString LoadMarker = QStringLiteral(" ld=\"0\"");
constexpr int BufferSize = 4096;

bool IsBlank(QChar C)
{
    return C == u' ' || C == u'\t' || C == u'\r' || C == u'\n';
}

// Position of the load marker (` ld="0"`, any case, or `ld="0"` at the very
// start), or -1. Looks for the case-free part `="0"` first: most texts have
// no such value at all.
int FindLoadMarker(const QString& Text)
{
    const QStringView t(Text);
    for (qsizetype i = t.indexOf(u"=\"0\""); i >= 0; i = t.indexOf(u"=\"0\"", i + 1)) {
        if (i < 2 || (t[i - 1] != u'd' && t[i - 1] != u'D') || (t[i - 2] != u'l' && t[i - 2] != u'L'))
            continue;
        if (i == 2)
            return 0;
        if (t[i - 3] == u' ')
            return int(i - 3);
    }
    return -1;
}
} // namespace

TrpInvalidXMLException::TrpInvalidXMLException()
    : TrpStorageError(InvalidFormatText)
{
}

// ---------------------------------------------------------------- escaping

QString rpStrToXML(const QString& Value)
{
    const int n = Value.size();
    int i = 0;
    // Fast path: most values need no escaping at all.
    for (; i < n; ++i) {
        const char16_t c = Value[i].unicode();
        if (c == 0 || c == '\n' || c == '\r' || c == '"' || c == '&' || c == '<' || c == '>')
            break;
    }
    if (i == n)
        return Value;
    QString r;
    r.reserve(n + 16);
    r.append(QStringView(Value).left(i));
    const bool longValue = n >= 32;
    for (; i < n; ++i) {
        const char16_t c = Value[i].unicode();
        switch (c) {
        case 0:
            if (longValue)
                r.append(u' ');
            else
                r.append(u"&#0;");
            break;
        case '\n':
            r.append(u"&#10;");
            break;
        case '\r':
            r.append(u"&#13;");
            break;
        case '"':
            r.append(u"&#34;");
            break;
        case '<':
            r.append(u"&#60;");
            break;
        case '>':
            r.append(u"&#62;");
            break;
        case '&':
            if (QStringView(Value).mid(i + 1, 5) == u"quot;") {
                r.append(u"&#34;");
                i += 5;
            } else {
                r.append(u"&#38;");
            }
            break;
        default:
            r.append(QChar(c));
        }
    }
    return r;
}

QString rpXMLToStr(const QString& Value)
{
    int i = Value.indexOf(u'&');
    if (i < 0)
        return Value;
    QString r;
    r.reserve(Value.size());
    r.append(QStringView(Value).left(i));
    const int n = Value.size();
    while (i < n) {
        const QChar c = Value[i];
        if (c != u'&') {
            r.append(c);
            ++i;
            continue;
        }
        const QStringView rest = QStringView(Value).mid(i + 1);
        if (rest.startsWith(u'#')) {
            // "&#" digits ";" -- anything else is kept as it stands.
            int j = 1;
            uint32_t code = 0;
            while (j < rest.size() && j <= 8 && rest[j].isDigit()) {
                code = code * 10 + uint32_t(rest[j].unicode() - '0');
                ++j;
            }
            if (j > 1 && j < rest.size() && rest[j] == u';' && code <= 0x10FFFF) {
                if (code > 0xFFFF) {
                    const char32_t ucs = code;
                    r.append(QString::fromUcs4(&ucs, 1));
                } else {
                    r.append(QChar(char16_t(code)));
                }
                i += j + 2;
                continue;
            }
        } else if (rest.startsWith(u"quot;")) {
            r.append(u'"');
            i += 6;
            continue;
        } else if (rest.startsWith(u"amp;")) {
            r.append(u'&');
            i += 5;
            continue;
        } else if (rest.startsWith(u"lt;")) {
            r.append(u'<');
            i += 4;
            continue;
        } else if (rest.startsWith(u"gt;")) {
            r.append(u'>');
            i += 4;
            continue;
        }
        r.append(c);
        ++i;
    }
    return r;
}

// -------------------------------------------------------------------- item

TrpXMLItem::~TrpXMLItem() = default;

TrpXMLItem* TrpXMLItem::Add()
{
    Attach(std::make_unique<TrpXMLItem>(), Count());
    return FItems.back().get();
}

TrpXMLItem* TrpXMLItem::Add(const QString& Name)
{
    TrpXMLItem* item = Add();
    item->FName = Name;
    return item;
}

void TrpXMLItem::Attach(std::unique_ptr<TrpXMLItem> Item, int Index)
{
    Item->FParent = this;
    if (Index < 0 || Index > Count())
        Index = Count();
    FItems.insert(FItems.begin() + Index, std::move(Item));
}

void TrpXMLItem::AddItem(TrpXMLItem* Item)
{
    InsertItem(Count(), Item);
}

void TrpXMLItem::InsertItem(int Index, TrpXMLItem* Item)
{
    Q_ASSERT(Item && Item->FParent && "a free-standing item is added as a unique_ptr");
    // Moving an item under itself or its own descendant would orphan the subtree.
    for (const TrpXMLItem* p = this; p; p = p->FParent)
        if (p == Item)
            return;
    TrpXMLItem* oldParent = Item->FParent;
    std::unique_ptr<TrpXMLItem> owned = oldParent->Extract(Item);
    if (oldParent == this && Index > Count())
        Index = Count();
    Attach(std::move(owned), Index);
}

TrpXMLItem* TrpXMLItem::AddItem(std::unique_ptr<TrpXMLItem> Item)
{
    TrpXMLItem* raw = Item.get();
    Attach(std::move(Item), Count());
    return raw;
}

std::unique_ptr<TrpXMLItem> TrpXMLItem::Extract(TrpXMLItem* Item)
{
    const int i = IndexOf(Item);
    if (i < 0)
        return nullptr;
    std::unique_ptr<TrpXMLItem> owned = std::move(FItems[size_t(i)]);
    FItems.erase(FItems.begin() + i);
    owned->FParent = nullptr;
    return owned;
}

void TrpXMLItem::Delete(int Index)
{
    if (Index >= 0 && Index < Count())
        FItems.erase(FItems.begin() + Index);
}

void TrpXMLItem::Clear()
{
    FItems.clear();
    if (FUnloadable)
        FLoaded = false;
}

int TrpXMLItem::IndexOf(const TrpXMLItem* Item) const
{
    for (size_t i = 0; i < FItems.size(); ++i)
        if (FItems[i].get() == Item)
            return int(i);
    return -1;
}

int TrpXMLItem::Find(const QString& Name) const
{
    for (size_t i = 0; i < FItems.size(); ++i)
        if (FItems[i]->FName.compare(Name, Qt::CaseInsensitive) == 0)
            return int(i);
    return -1;
}

TrpXMLItem* TrpXMLItem::FindItem(const QString& Name)
{
    const int i = Find(Name);
    return i >= 0 ? Items(i) : Add(Name);
}

// Walks the name="value" pairs of the raw text. Walking pairs (rather than
// searching for ` name="`) keeps a value that happens to end in ` name=`
// from being taken for the attribute itself.
bool TrpXMLItem::Locate(const QString& Name, int& NameStart, int& ValueStart, int& ValueEnd) const
{
    const int n = FText.size();
    int i = 0;
    while (i < n) {
        while (i < n && IsBlank(FText[i]))
            ++i;
        if (i >= n)
            return false;
        const int start = i;
        const int eq = FText.indexOf(u'=', i);
        if (eq < 0)
            return false;
        int nameEnd = eq;
        while (nameEnd > start && IsBlank(FText[nameEnd - 1]))
            --nameEnd;
        int q = eq + 1;
        while (q < n && IsBlank(FText[q]))
            ++q;
        if (q >= n || FText[q] != u'"')
            return false;
        const int close = FText.indexOf(u'"', q + 1);
        if (close < 0)
            return false;
        if (QStringView(FText).mid(start, nameEnd - start).compare(Name, Qt::CaseInsensitive) == 0) {
            NameStart = start;
            ValueStart = q + 1;
            ValueEnd = close;
            return true;
        }
        i = close + 1;
    }
    return false;
}

QString TrpXMLItem::Prop(const QString& Name) const
{
    int s, vs, ve;
    if (!Locate(Name, s, vs, ve))
        return QString();
    return rpXMLToStr(FText.mid(vs, ve - vs));
}

bool TrpXMLItem::PropExists(const QString& Name) const
{
    int s, vs, ve;
    return Locate(Name, s, vs, ve);
}

void TrpXMLItem::SetProp(const QString& Name, const QString& Value)
{
    const QString pair = Name + QStringLiteral("=\"") + rpStrToXML(Value) + u'"';
    int s, vs, ve;
    int at;
    if (Locate(Name, s, vs, ve)) {
        FText.remove(s, ve - s + 1);
        at = s;
    } else {
        at = FText.size();
    }
    if (at > 0 && !IsBlank(FText[at - 1])) {
        FText.insert(at, u' ');
        ++at;
    }
    FText.insert(at, pair);
}

void TrpXMLItem::DeleteProp(const QString& Name)
{
    int s, vs, ve;
    if (!Locate(Name, s, vs, ve))
        return;
    int from = s;
    if (from > 0 && FText[from - 1] == u' ')
        --from;
    FText.remove(from, ve + 1 - from);
}

// ------------------------------------------------------------------ writer

TrpXMLWriter::TrpXMLWriter(QIODevice& Stream, TrpXMLDocument* Doc, bool AutoIndent)
    : FStream(Stream)
    , FDoc(Doc)
    , FAutoIndent(AutoIndent)
{
    FBuf.reserve(BufferSize * 2);
}

void TrpXMLWriter::WriteHeader()
{
    FBuf.append(XMLHeader);
    if (FAutoIndent)
        FBuf.append("\r\n");
}

void TrpXMLWriter::AppendStart(const TrpXMLItem* Item)
{
    FBuf.append('<');
    FBuf.append(Item->FName.toUtf8());
    if (!Item->FText.isEmpty()) {
        if (Item->FText[0] != u' ')
            FBuf.append(' ');
        FBuf.append(Item->FText.toUtf8());
    }
    if (Item->FUnloadable)
        FBuf.append(" ld=\"0\"");
}

void TrpXMLWriter::WriteStartTag(const TrpXMLItem* Item, int Depth)
{
    Indent(Depth);
    AppendStart(Item);
    FBuf.append('>');
    EndLine();
    if (FBuf.size() > BufferSize)
        Flush();
}

void TrpXMLWriter::WriteEndTag(const TrpXMLItem* Item, int Depth)
{
    Indent(Depth);
    AppendEndTag(Item);
    EndLine();
    if (FBuf.size() > BufferSize)
        Flush();
}

void TrpXMLWriter::WriteItem(TrpXMLItem* Item, int Depth)
{
    // Children that live outside memory are read back for the write only.
    const bool reload = Item->FUnloadable && !Item->FLoaded && FDoc;
    if (reload)
        FDoc->LoadItem(Item);
    Indent(Depth);
    AppendStart(Item);
    if (Item->Count() > 0) {
        FBuf.append('>');
        EndLine();
        for (int i = 0; i < Item->Count(); ++i)
            WriteItem(Item->Items(i), Depth + 1);
        Indent(Depth);
        AppendEndTag(Item);
    } else if (!Item->FValue.isEmpty()) {
        FBuf.append('>');
        // Escaped so that a "<" in the content cannot break the file.
        FBuf.append(rpStrToXML(Item->FValue).toUtf8());
        AppendEndTag(Item);
    } else {
        FBuf.append("/>");
    }
    EndLine();
    if (reload)
        Item->Clear();
    if (FBuf.size() > BufferSize)
        Flush();
}

void TrpXMLWriter::Flush()
{
    if (FBuf.isEmpty())
        return;
    if (FStream.write(FBuf) != FBuf.size())
        throw TrpStorageError(QStringLiteral("Cannot write the file: %1").arg(FStream.errorString()));
    FBuf.clear();
}

void TrpXMLWriter::Indent(int Depth)
{
    if (FAutoIndent)
        FBuf.append(QByteArray(2 * Depth, ' '));
}

void TrpXMLWriter::EndLine()
{
    if (FAutoIndent)
        FBuf.append("\r\n");
}

void TrpXMLWriter::AppendEndTag(const TrpXMLItem* Item)
{
    FBuf.append("</");
    FBuf.append(Item->FName.toUtf8());
    FBuf.append('>');
}

// ------------------------------------------------------------------ reader

class TrpXMLReader {
public:
    TrpXMLReader(QIODevice& Stream, bool OldVersion, bool InTempFile)
        : FStream(Stream)
        , FBase(Stream.pos())
        , FOldVersion(OldVersion)
        , FInTempFile(InTempFile)
    {
        FBuf.resize(BufferSize);
    }

    void Seek(int64_t Position)
    {
        if (!FStream.seek(Position))
            throw TrpInvalidXMLException();
        FBase = Position;
        FLen = FPos = 0;
    }

    // Reads the header; returns whether it marks an old-version file.
    bool ReadHeader()
    {
        int64_t start;
        if (!NextTag(start) || !FTag.startsWith("?xml"))
            throw TrpInvalidXMLException();
        TrpXMLItem header;
        header.FText = QString::fromLatin1(FTag.mid(4));
        FOldVersion = header.Prop(QStringLiteral("version")) == u"1.0"
            && !header.FText.contains(QStringLiteral("standalone="), Qt::CaseInsensitive);
        return FOldVersion;
    }

    // Reads one element with its children into Top. With Partial, the
    // children of unloadable descendants are skipped and left in the
    // stream; with KeepTop the element itself is read in full even when
    // it is marked (used to load an unloaded item back). Returns false when
    // the stream holds no further tag.
    bool ReadElement(TrpXMLItem* Top, bool Partial, bool KeepTop)
    {
        int64_t start;
        if (!NextTag(start))
            return false;
        if (FTag.startsWith('/'))
            throw TrpInvalidXMLException();
        bool skip = false;
        const bool empty = ApplyTag(Top, start, Partial && !KeepTop, skip);
        if (empty)
            return true;
        if (skip) {
            SkipChildren();
            return true;
        }
        std::vector<TrpXMLItem*> stack { Top };
        while (!stack.empty()) {
            // A stream ending between tags closes the items still open.
            if (!NextTag(start))
                break;
            if (FTag.startsWith('/')) {
                if (!SameName(FTag.mid(1), stack.back()->FName))
                    throw TrpInvalidXMLException();
                stack.pop_back();
                continue;
            }
            if (++FItemCount > TrpXMLDocument::MaxItems)
                throw TrpInvalidXMLException();
            TrpXMLItem* child = stack.back()->Add();
            if (ApplyTag(child, start, Partial, skip))
                continue;
            if (skip) {
                SkipChildren();
                continue;
            }
            if (int(stack.size()) >= TrpXMLDocument::MaxDepth)
                throw TrpInvalidXMLException();
            stack.push_back(child);
        }
        return true;
    }

private:
    bool Fill()
    {
        FBase += FLen;
        const qint64 got = FStream.read(FBuf.data(), BufferSize);
        FLen = got > 0 ? int(got) : 0;
        FPos = 0;
        return FLen > 0;
    }

    // Collects the next tag's text (between "<" and ">") into FTag and its
    // stream position into Start; comments are skipped. False at the end of
    // the stream between tags.
    bool NextTag(int64_t& Start)
    {
        for (;;) {
            for (;;) {
                if (FPos >= FLen && !Fill())
                    return false;
                const char* b = FBuf.constData();
                const void* p = std::memchr(b + FPos, '<', size_t(FLen - FPos));
                if (p) {
                    FPos = int(static_cast<const char*>(p) - b);
                    Start = FBase + FPos;
                    ++FPos;
                    break;
                }
                FPos = FLen;
            }
            FTag.clear();
            bool comment = false;
            for (;;) {
                if (FPos >= FLen && !Fill())
                    throw TrpInvalidXMLException();
                const char* b = FBuf.constData();
                int q = FPos;
                if (comment) {
                    while (q < FLen && b[q] != '>')
                        ++q;
                } else {
                    while (q < FLen && b[q] != '>' && b[q] != '<')
                        ++q;
                }
                FTag.append(b + FPos, q - FPos);
                FPos = q;
                if (!comment && FTag.startsWith("!--"))
                    comment = true;
                if (comment && FTag.size() > 64)
                    FTag = "!--" + FTag.right(2); // only the tail matters for "-->"
                if (q >= FLen)
                    continue;
                const char c = b[q];
                ++FPos;
                if (c == '<') {
                    if (!comment)
                        throw TrpInvalidXMLException();
                    FTag.append('<');
                    continue;
                }
                if (comment) {
                    if (FTag.size() >= 5 && FTag.endsWith("--"))
                        break; // end of comment: look for the next tag
                    FTag.append('>');
                    continue;
                }
                return true;
            }
        }
    }

    static bool SameName(const QByteArray& Tag, const QString& Name)
    {
        int n = 0;
        while (n < Tag.size() && uchar(Tag[n]) > ' ')
            ++n;
        return QString::fromUtf8(Tag.constData(), n).compare(Name, Qt::CaseInsensitive) == 0;
    }

    // Splits FTag into name and attribute text and stores them in Item.
    // Returns whether the element is empty; sets Skip when its children are
    // to stay in the stream.
    bool ApplyTag(TrpXMLItem* Item, int64_t Start, bool Partial, bool& Skip)
    {
        Skip = false;
        int n = 0;
        while (n < FTag.size() && uchar(FTag[n]) > ' ')
            ++n;
        QByteArray name = FTag.left(n);
        int a = n < FTag.size() ? n + 1 : n;
        int e = FTag.size();
        while (e > a && uchar(FTag[e - 1]) <= ' ')
            --e;
        bool empty = false;
        if (name.endsWith('/')) {
            name.chop(1);
            empty = true;
        } else if (e > a && FTag[e - 1] == '/') {
            --e;
            while (e > a && uchar(FTag[e - 1]) <= ' ')
                --e;
            empty = true;
        }
        Item->FName = Intern(name);
        Item->FText = FOldVersion ? QString::fromLocal8Bit(FTag.constData() + a, e - a)
                                  : QString::fromUtf8(FTag.constData() + a, e - a);
        // The marker is the writer's own: " ld=\"0\"" after the attributes,
        // or the first attribute of an item without any.
        const int m = FindLoadMarker(Item->FText);
        if (m == 0 && !Item->FText.startsWith(u' ')) {
            Item->FText.remove(0, LoadMarker.size() - 1);
            if (Item->FText.startsWith(u' '))
                Item->FText.remove(0, 1);
        } else if (m >= 0) {
            Item->FText.remove(m, LoadMarker.size());
        }
        if (m >= 0) {
            Item->FUnloadable = true;
            Item->FLoaded = true;
            if (Partial) {
                Item->FLoaded = false;
                Item->FStored = true;
                Item->FOffset = Start;
                Item->FInTempFile = FInTempFile;
                Skip = !empty;
            }
        }
        return empty;
    }

    // Skips the children of the element just read up to its end tag.
    void SkipChildren()
    {
        int depth = 1;
        int64_t start;
        while (depth > 0) {
            if (!NextTag(start))
                return;
            if (FTag.startsWith('/')) {
                --depth;
                continue;
            }
            int e = FTag.size();
            while (e > 0 && uchar(FTag[e - 1]) <= ' ')
                --e;
            if (e > 0 && FTag[e - 1] == '/')
                continue;
            if (++depth > TrpXMLDocument::MaxDepth)
                throw TrpInvalidXMLException();
        }
    }

    // Items of one document share the storage of equal names.
    QString Intern(const QByteArray& Name)
    {
        auto it = FNames.constFind(Name);
        if (it != FNames.constEnd())
            return *it;
        const QString s = QString::fromUtf8(Name);
        if (FNames.size() < 4096)
            FNames.insert(Name, s);
        return s;
    }

    QIODevice& FStream;
    QByteArray FBuf;
    QByteArray FTag;
    int64_t FBase;
    int FLen = 0;
    int FPos = 0;
    bool FOldVersion;
    bool FInTempFile;
    int64_t FItemCount = 0;
    QHash<QByteArray, QString> FNames;
};

// ---------------------------------------------------------------- document

TrpXMLDocument::TrpXMLDocument()
    : FRoot(std::make_unique<TrpXMLItem>())
{
}

TrpXMLDocument::~TrpXMLDocument() = default;

void TrpXMLDocument::Swap(TrpXMLDocument& Other) noexcept
{
    std::swap(FRoot, Other.FRoot);
    std::swap(FAutoIndent, Other.FAutoIndent);
    std::swap(FOldVersion, Other.FOldVersion);
    std::swap(FTempDir, Other.FTempDir);
    std::swap(FTempStream, Other.FTempStream);
    std::swap(FSourceStream, Other.FSourceStream);
}

void TrpXMLDocument::CloseStreams()
{
    FTempStream.reset(); // a QTemporaryFile deletes its file when destroyed
    FSourceStream.reset();
}

void TrpXMLDocument::Clear()
{
    FRoot->Clear();
    CloseStreams();
}

void TrpXMLDocument::LoadFromStream(QIODevice& Stream)
{
    Clear();
    FRoot = std::make_unique<TrpXMLItem>();
    TrpXMLReader reader(Stream, false, false);
    FOldVersion = reader.ReadHeader();
    reader.ReadElement(FRoot.get(), false, false);
}

void TrpXMLDocument::LoadFromStream(std::unique_ptr<QIODevice> Stream, bool AllowPartialLoading)
{
    if (!AllowPartialLoading) {
        LoadFromStream(*Stream);
        return;
    }
    Clear();
    FRoot = std::make_unique<TrpXMLItem>();
    TrpXMLReader reader(*Stream, false, false);
    FOldVersion = reader.ReadHeader();
    reader.ReadElement(FRoot.get(), true, false);
    FSourceStream = std::move(Stream);
}

void TrpXMLDocument::SaveToStream(QIODevice& Stream)
{
    TrpXMLWriter writer(Stream, this, FAutoIndent);
    writer.WriteHeader();
    writer.WriteItem(FRoot.get(), 0);
    writer.Flush();
}

void TrpXMLDocument::LoadFromFile(const QString& FileName)
{
    auto file = std::make_unique<QFile>(FileName);
    if (!file->open(QIODevice::ReadOnly))
        throw TrpStorageError(QStringLiteral("Cannot open file \"%1\"").arg(FileName));
    LoadFromStream(std::move(file), true);
}

void TrpXMLDocument::SaveToFile(const QString& FileName)
{
    const QString tmpName = FileName + QStringLiteral(".tmp");
    {
        QFile tmp(tmpName);
        if (!tmp.open(QIODevice::WriteOnly | QIODevice::Truncate))
            throw TrpStorageError(QStringLiteral("Cannot create file \"%1\"").arg(tmpName));
        try {
            SaveToStream(tmp);
        } catch (...) {
            tmp.close();
            tmp.remove();
            throw;
        }
        if (!tmp.flush()) {
            tmp.close();
            tmp.remove();
            throw TrpStorageError(QStringLiteral("Cannot create file \"%1\"").arg(tmpName));
        }
    }
    CloseStreams();
    // rename() replaces the old file in one step, so a failure never leaves
    // neither the old nor the new file behind.
    std::error_code ec;
    std::filesystem::rename(
        QFile::encodeName(tmpName).toStdString(), QFile::encodeName(FileName).toStdString(), ec);
    if (ec)
        throw TrpStorageError(QStringLiteral("Cannot create file \"%1\"").arg(FileName));
    LoadFromFile(FileName);
}

QIODevice* TrpXMLDocument::StreamFor(const TrpXMLItem* Item) const
{
    return Item->FInTempFile ? FTempStream.get() : FSourceStream.get();
}

void TrpXMLDocument::LoadItem(TrpXMLItem* Item)
{
    if (!Item || !Item->FUnloadable || Item->FLoaded)
        return;
    if (!Item->FStored) {
        Item->FLoaded = true; // nothing was ever moved out
        return;
    }
    QIODevice* stream = StreamFor(Item);
    if (!stream)
        return;
    Item->FItems.clear();
    TrpXMLReader reader(*stream, FOldVersion && !Item->FInTempFile, Item->FInTempFile);
    reader.Seek(Item->FOffset);
    TrpXMLItem copy;
    if (!reader.ReadElement(&copy, true, true))
        throw TrpInvalidXMLException();
    for (auto& child : copy.FItems)
        child->FParent = Item;
    Item->FItems = std::move(copy.FItems);
    Item->FLoaded = true;
}

void TrpXMLDocument::UnloadItem(TrpXMLItem* Item)
{
    if (!Item || !Item->FUnloadable || !Item->FLoaded)
        return;
    if (!FTempStream) {
        FTempStream = rpCreateTempFile(FTempDir, QStringLiteral("rp"));
    }
    const int64_t offset = FTempStream->size();
    if (!FTempStream->seek(offset))
        throw TrpStorageError(QStringLiteral("Cannot write the temporary file"));
    TrpXMLWriter writer(*FTempStream, this, false);
    writer.WriteItem(Item, 0);
    writer.Flush();
    Item->FOffset = offset;
    Item->FInTempFile = true;
    Item->FStored = true;
    Item->Clear();
}
