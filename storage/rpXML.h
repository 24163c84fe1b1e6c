// XML item model: a tree of named items whose attributes stay one raw text,
// read and written as UTF-8, with children that can be moved out to a
// temporary file and read back by offset.
#pragma once

#include "PelmoraError.h"

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <exception>
#include <memory>
#include <vector>

class QIODevice;
class TrpXMLDocument;

// Failure of the storage layer (file not readable, not writable, a value
// that does not convert).
class TrpStorageError : public EPelmoraError {
public:
    using EPelmoraError::EPelmoraError;
};

// Malformed XML; the message is always "Invalid file format".
class TrpInvalidXMLException : public TrpStorageError {
public:
    TrpInvalidXMLException();
};

// Escapes a value for an attribute (numeric references for NUL, LF, CR, '"',
// '&', '<', '>'; "&quot;" becomes "&#34;"; NUL is a blank in long values).
QString rpStrToXML(const QString& Value);
// Decodes "&#n;", "&quot;", "&amp;", "&lt;", "&gt;"; any other '&' stays.
QString rpXMLToStr(const QString& Value);

class TrpXMLItem {
public:
    TrpXMLItem() = default;
    explicit TrpXMLItem(const QString& Name)
        : FName(Name)
    {
    }
    ~TrpXMLItem();
    TrpXMLItem(const TrpXMLItem&) = delete;
    TrpXMLItem& operator=(const TrpXMLItem&) = delete;

    const QString& Name() const { return FName; }
    void SetName(const QString& Value) { FName = Value; }
    // Raw attribute text: name="escaped value" pairs separated by blanks.
    const QString& Text() const { return FText; }
    void SetText(const QString& Value) { FText = Value; }
    // Element content; written, never read back.
    const QString& Value() const { return FValue; }
    void SetValue(const QString& Value) { FValue = Value; }
    // A pointer for the owner's use; not written, not owned.
    void* Data() const { return FData; }
    void SetData(void* Value) { FData = Value; }
    TrpXMLItem* Parent() const { return FParent; }

    int Count() const { return int(FItems.size()); }
    TrpXMLItem* Items(int Index) const { return FItems[size_t(Index)].get(); }
    TrpXMLItem* operator[](int Index) const { return Items(Index); }

    // Appends a new child and returns it (owned by this item).
    TrpXMLItem* Add();
    TrpXMLItem* Add(const QString& Name);
    // Moves Item (owned by another item) under this one, at the end or at Index.
    void AddItem(TrpXMLItem* Item);
    void InsertItem(int Index, TrpXMLItem* Item);
    // Takes a free-standing item; returns it.
    TrpXMLItem* AddItem(std::unique_ptr<TrpXMLItem> Item);
    // Removes the child from this item and hands it to the caller.
    std::unique_ptr<TrpXMLItem> Extract(TrpXMLItem* Item);
    // Frees one child.
    void Delete(int Index);
    // Frees all children; an unloadable item becomes not loaded.
    void Clear();
    int IndexOf(const TrpXMLItem* Item) const;
    // Index of the first child with that name (case-insensitive), or -1.
    int Find(const QString& Name) const;
    // That child, added when absent.
    TrpXMLItem* FindItem(const QString& Name);

    // Attribute access on Text: missing reads as empty.
    QString Prop(const QString& Name) const;
    void SetProp(const QString& Name, const QString& Value);
    bool PropExists(const QString& Name) const;
    void DeleteProp(const QString& Name);

    bool Unloadable() const { return FUnloadable; }
    void SetUnloadable(bool Value) { FUnloadable = Value; }
    // False while the children live only in the temporary file or source.
    bool Loaded() const { return FLoaded; }
    int64_t Offset() const { return FOffset; }

private:
    friend class TrpXMLDocument;
    friend class TrpXMLReader;
    friend class TrpXMLWriter;
    void Attach(std::unique_ptr<TrpXMLItem> Item, int Index);
    // Locates name="value" in FText: start of the name and index of the
    // closing quote; false when absent.
    bool Locate(const QString& Name, int& NameStart, int& ValueStart, int& ValueEnd) const;

    QString FName;
    QString FText;
    QString FValue;
    void* FData = nullptr;
    TrpXMLItem* FParent = nullptr;
    std::vector<std::unique_ptr<TrpXMLItem>> FItems;
    int64_t FOffset = 0;
    bool FUnloadable = false;
    bool FLoaded = true;
    bool FInTempFile = false; // offset refers to the temporary file, not the source
    bool FStored = false; // offset is valid
};

// Writes items in the stored form, piece by piece. A caller that keeps some
// children outside the tree (packed, say) writes the enclosing element with
// WriteStartTag and WriteEndTag and its children one by one.
class TrpXMLWriter {
public:
    // Doc, when given, reads back unloaded children for the write.
    TrpXMLWriter(QIODevice& Stream, TrpXMLDocument* Doc, bool AutoIndent);
    void WriteHeader();
    void WriteItem(TrpXMLItem* Item, int Depth);
    // "<name attributes>" of an item whose children follow.
    void WriteStartTag(const TrpXMLItem* Item, int Depth);
    void WriteEndTag(const TrpXMLItem* Item, int Depth);
    // Writes what is buffered; throws TrpStorageError when the stream fails.
    void Flush();

private:
    void Indent(int Depth);
    void EndLine();
    void AppendStart(const TrpXMLItem* Item);
    void AppendEndTag(const TrpXMLItem* Item);

    QIODevice& FStream;
    TrpXMLDocument* FDoc;
    bool FAutoIndent;
    QByteArray FBuf;
};

class TrpXMLDocument {
public:
    TrpXMLDocument();
    ~TrpXMLDocument();
    TrpXMLDocument(const TrpXMLDocument&) = delete;
    TrpXMLDocument& operator=(const TrpXMLDocument&) = delete;

    TrpXMLItem* Root() const { return FRoot.get(); }
    // Exchanges the whole content (items, flags, temporary file, source)
    // with Other; used to commit a document read aside.
    void Swap(TrpXMLDocument& Other) noexcept;
    bool AutoIndent() const { return FAutoIndent; }
    void SetAutoIndent(bool Value) { FAutoIndent = Value; }
    // The file was written by an older writer (attribute texts in the
    // local 8-bit encoding instead of UTF-8).
    bool OldVersion() const { return FOldVersion; }
    const QString& TempDir() const { return FTempDir; }
    void SetTempDir(const QString& Value) { FTempDir = Value; }

    // Frees the root's children, closes and deletes the temporary file and
    // releases the source stream.
    void Clear();
    // Reads the whole document; the stream stays the caller's.
    void LoadFromStream(QIODevice& Stream);
    // With AllowPartialLoading the children of unloadable items stay in the
    // stream, which the document keeps as its source for LoadItem.
    void LoadFromStream(std::unique_ptr<QIODevice> Stream, bool AllowPartialLoading);
    void SaveToStream(QIODevice& Stream);
    // Opens the file and loads it with partial loading.
    void LoadFromFile(const QString& FileName);
    // Writes FileName + ".tmp", then replaces FileName with it and loads it
    // back with partial loading.
    void SaveToFile(const QString& FileName);
    // Reads back the children of an unloadable item that is not loaded.
    void LoadItem(TrpXMLItem* Item);
    // Moves the children of a loaded unloadable item to the temporary file.
    void UnloadItem(TrpXMLItem* Item);

    // Deepest nesting the reader accepts; deeper input is malformed.
    static constexpr int MaxDepth = 2048;
    // Most items one read builds in memory (about 600 MB); a document with
    // more is refused as malformed rather than exhausting memory. Children
    // left in the source by partial loading do not count.
    static constexpr int64_t MaxItems = 4'000'000;

private:
    friend class TrpXMLWriter;
    QIODevice* StreamFor(const TrpXMLItem* Item) const;
    void CloseStreams();

    std::unique_ptr<TrpXMLItem> FRoot;
    bool FAutoIndent = false;
    bool FOldVersion = false;
    QString FTempDir;
    std::unique_ptr<QIODevice> FTempStream; // unloaded children
    std::unique_ptr<QIODevice> FSourceStream; // partially loaded source
};
