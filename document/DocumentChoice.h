#pragma once

#include "store/SqlText.h"

#include <QStringList>

#include <optional>

// Which completed documents a print run or an export takes, and from which table.
struct DocumentChoice
{
    enum class Kind { Ids, Marked, All };

    Kind kind = Kind::All;
    QStringList ids;
    bool archive = false;
    // Only the documents of this author (`LOGIN`), where the user may see only his own.
    std::optional<QString> owner;

    // Reads `[--archive] [--marked | --all | --id ID ...]`; no choice means all.
    // Anything else in `args` is refused with an AppError naming it, unless `rest` takes it.
    static DocumentChoice fromArguments(const QStringList &args, QStringList *rest = nullptr);
};

// The completed documents (`PRIZN_DK` "3") of the choice, every column, every value bound.
SqlStatement CompletedDocumentsSql(const DocumentChoice &choice);
