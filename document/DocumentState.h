#pragma once

#include <QString>

class DataSet;

// PRIZN_DK: "0" open and never completed, "1" saved early, "2" open after
// completion, "3" completed. "0" and "2" are the cross-computer lock.
namespace DocumentState {

inline const QString Open = QStringLiteral("0");
inline const QString Saved = QStringLiteral("1");
inline const QString Reopened = QStringLiteral("2");
inline const QString Completed = QStringLiteral("3");

bool isLocked(const QString &state);
// The state Enter gives: "1" becomes "0", anything else "2".
QString openedFrom(const QString &state);
// The state of leaving the editor early, and of Ctrl+F3: "0" becomes "1", "2" becomes "3".
QString releasedFrom(const QString &state);

} // namespace DocumentState

// Takes the lock on the current row of the documents: one update that names the
// state this list holds, so of two computers only one can win. False when the
// row is locked already or another computer changed it first; the row is then
// left as it was.
bool TakeDocumentLock(DataSet &documents);
// Ctrl+F3: frees the current row, but only while it is still locked as this list saw it.
bool ReleaseDocumentLock(DataSet &documents);
