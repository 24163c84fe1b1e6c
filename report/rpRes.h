// The report engine's string table: every user-interface text and message
// of the engine, by key. One table for the whole program, filled from the
// built-in XML resource on first use.
#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

class QIODevice;

class TrpResources {
public:
    // The application-wide table.
    static TrpResources& Instance();

    // The text for the key; the key itself when absent. A leading "!" of a
    // text is dropped.
    QString Get(const QString& StrName) const;
    QString Get(int StrNumber) const { return Get(QString::number(StrNumber)); }
    // Add or replace one entry.
    void Add(const QString& Ref, const QString& Str);
    void AddW(const QString& Ref, const QString& Str) { Add(Ref, Str); }
    // Lines of the form key=text.
    void AddStrings(const QStringList& Lines);
    // Reads a "Resources" document of "StrRes" items (Name, Text); throws
    // TrpStorageError for a malformed document.
    void LoadFromStream(QIODevice& Stream);
    int Count() const { return int(FTable.size()); }

private:
    TrpResources();
    QHash<QString, QString> FTable;
};

// Shorthand for TrpResources::Instance().Get(Key).
QString rpGet(const QString& Key);
