// Readable GoogleTest output for Qt strings (instead of byte dumps).
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <ostream>

inline void PrintTo(const QString& Value, std::ostream* Out)
{
    *Out << '"' << Value.toStdString() << '"';
}
inline void PrintTo(const QByteArray& Value, std::ostream* Out)
{
    *Out << '"' << Value.toStdString() << '"';
}
inline void PrintTo(const QStringList& Value, std::ostream* Out)
{
    *Out << '{' << Value.join(QLatin1Char('|')).toStdString() << '}';
}
