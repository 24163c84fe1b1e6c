// Readable GoogleTest output for Qt strings (instead of byte dumps).
#pragma once

#include <QByteArray>
#include <QString>
#include <ostream>

inline void PrintTo(const QString& Value, std::ostream* Out)
{
    *Out << '"' << Value.toStdString() << '"';
}
inline void PrintTo(const QByteArray& Value, std::ostream* Out)
{
    *Out << '"' << Value.toStdString() << '"';
}
