#pragma once
// Sort texts of the table layer: one or more field names, each optionally
// followed by "ASC" or "DESC", separated by commas ("price ASC",
// "jobdate DESC"). Empty text: the table's own order (by id).
#include <QString>
#include <vector>

struct TSortKey {
    QString FieldName;
    bool Descending = false;
};

// Throws EDatabaseError for a text that is not of that form.
std::vector<TSortKey> ParseSortText(const QString& text);
