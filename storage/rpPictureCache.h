// Picture cache of the prepared pages: every picture placed on a prepared
// page is kept here once per addition and referred to by its number
// (ImageIndex, from 1), so that page items carry only that number.
#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>
#include <memory>
#include <vector>

class QIODevice;
class TrpXMLItem;

// What the cache needs of a picture view (the report layer's picture view
// implements it).
class TrpCachedPicture {
public:
    virtual ~TrpCachedPicture() = default;
    virtual bool HasImage() const = 0;
    // The image writes itself, in its own file format, at the position.
    virtual void SaveImageToStream(QIODevice& Stream) const = 0;
    // Reads an image from the position (from 0 with ResetStreamPos) up to
    // the stream's end: 0 on success; EINVAL when the bytes hold no known
    // image, the picture being emptied then.
    virtual int LoadPictureFromStream(QIODevice& Stream, bool ResetStreamPos) = 0;
    virtual void ClearPicture() = 0;
    virtual int ImageIndex() const = 0;
    virtual void SetImageIndex(int Value) = 0;
    // The number the cache gave; CacheLife expires when that cache is
    // cleared or destroyed, and the number with it. A picture that keeps
    // CacheLife reads ImageIndex 0 from then on.
    virtual void SetCachedIndex(int Value, std::weak_ptr<const void> CacheLife)
    {
        (void)CacheLife;
        SetImageIndex(Value);
    }
};

// Where the bytes of one cached picture start.
struct TrpCacheItem {
    int32_t Segment = 0;
    int32_t Offset = 0;
};
using TrpCacheList = std::vector<TrpCacheItem>;

class TrpPictureCache {
public:
    // A segment takes no more pictures once it is larger than this, so that
    // every offset fits in a signed 32-bit integer.
    static constexpr int64_t MaxSegmentSize = 1789569705;

    explicit TrpPictureCache(int64_t SegmentLimit = MaxSegmentSize);
    ~TrpPictureCache();
    TrpPictureCache(const TrpPictureCache&) = delete;
    TrpPictureCache& operator=(const TrpPictureCache&) = delete;

    // Stores the picture's image and sets its ImageIndex to the new number;
    // a picture without an image gets 0 and nothing is stored. Equal
    // pictures are not merged.
    void AddPicture(TrpCachedPicture* Picture);
    // Loads the picture numbered by its ImageIndex into it; an index out of
    // 1..Count leaves it empty.
    void GetPicture(TrpCachedPicture* Picture);
    // Item's children become one "item" per picture, in order, with the
    // bytes as upper-case hexadecimal in the attribute "stream".
    void SaveToXML(TrpXMLItem* Item);
    // Replaces the cache's pictures by those of the children of Item.
    void LoadFromXML(const TrpXMLItem* Item);
    // Frees every segment (deleting its temporary file) and every entry.
    void Clear();

    // Both take effect only while the cache holds no segment.
    const QString& TempDir() const { return FTempDir; }
    void SetTempDir(const QString& Value);
    bool UseFileCache() const { return FUseFileCache; }
    void SetUseFileCache(bool Value);

    int Count() const { return int(FItems.size()); }
    const TrpCacheList& Items() const { return FItems; }
    int SegmentCount() const { return int(FSegments.size()); }
    // The file of each file segment, in segment order.
    const QStringList& TempFileNames() const { return FTempFileNames; }

private:
    class TSegment;
    // Adds an entry at the end of the last segment (a new segment when the
    // last is full) and returns that segment, positioned there.
    TSegment& NewItem();
    void AddSegment();
    int64_t ItemSize(int Index) const;
    void CheckInvariants() const;

    int64_t FSegmentLimit;
    TrpCacheList FItems;
    std::vector<std::unique_ptr<TSegment>> FSegments;
    QStringList FTempFileNames;
    QString FTempDir;
    bool FUseFileCache = false;
    // Renewed by every Clear: the numbers given before expire with it.
    std::shared_ptr<const char> FLife = std::make_shared<const char>('\0');
};
