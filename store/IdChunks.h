#pragma once

#include <QStringList>
#include <QVariantList>

// A list of identifiers bound in pieces small enough for either engine's limit
// of bound values (SQLite's can be as low as 999).
namespace IdChunks {

inline constexpr int Size = 500;

QList<QStringList> split(QStringList ids);
// "?,?,?" for the identifiers of one piece.
QString marks(const QStringList &ids);
QVariantList values(const QStringList &ids);

} // namespace IdChunks
