// The compact form of a finished prepared page: its object items (names,
// attribute texts, nesting) as a few bytes each, so that a long report
// stays small in memory without a temporary file. Items come back exactly
// as they were packed.
#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <vector>

class TrpXMLItem;

class TrpPagePack {
public:
    // The children of Item (not Item itself) in packed form.
    QByteArray Pack(const TrpXMLItem* Item);
    // Appends the packed children to Item. Bytes that were not made by
    // Pack of this object raise TrpStorageError.
    void Unpack(const QByteArray& Bytes, TrpXMLItem* Item) const;
    // Number of top-level items in a packed form.
    static int Count(const QByteArray& Bytes);
    // Forgets the name tables; earlier packed forms can no longer be read.
    void Clear();

private:
    int NameId(const QString& Name);
    int AttrId(QStringView Name);
    void PackItem(const TrpXMLItem* Item, QByteArray& Out);
    void PackText(const QString& Text, QByteArray& Out);

    // Item names (alias and class names) and attribute names met so far.
    std::vector<QString> FNames;
    QHash<QString, int> FNameIds;
    // Text buffers of names in FNames, for a lookup without hashing.
    QHash<const QChar*, int> FNameBuffers;
    std::vector<QString> FAttrs;
};
