#pragma once

#include "store/AppError.h"
#include "store/RowFilter.h"
#include "store/Schema.h"
#include "store/Snapshot.h"
#include "store/SqlText.h"
#include "store/TableQuery.h"

#include <QBitArray>
#include <QDate>
#include <QObject>
#include <QVariant>
#include <QVector>

#include <optional>

class Database;

// A reusable query object: close, set the statement, open. The rows are a snapshot held
// in memory (Snapshot); a current row moves over the visible ones; an edit is made in a
// buffer and written by post (RowWriter) at once, to exactly the row it was read from.
class DataSet : public QObject
{
    Q_OBJECT

public:
    enum class State { Inactive, Browse, Edit, Insert };

    explicit DataSet(Database &db, QObject *parent = nullptr);

    void close();
    // A statement the program builds itself.
    void setQuery(const TableQuery &query);
    // A statement given as text, with `?` marks for the values, bound in order: a typed
    // value never becomes SQL text. Such a statement keeps every column it gives.
    void setSql(const QString &sql, const QVariantList &values = {});
    void setSql(const SqlStatement &statement) { setSql(statement.sql, statement.values); }
    QString sql() const { return m_sql; }
    QVariantList sqlValues() const { return m_values; }
    // The statement with its values written in as quoted literals, for messages and tests.
    QString statementText() const;
    // The columns to keep in memory for every row of a built statement over a table with a
    // visible key; the other columns are read by key for the row that asks, and an order by a
    // date or a number is made in memory. Stays across setQuery.
    void setHeldColumns(const QStringList &columns) { m_held = columns; }
    // Whether moving the cursor writes a pending edit first (the register's list, where the
    // editor's record rides on the cursor). Off, a move while editing is refused.
    void setPostsOnMove(bool posts) { m_postsOnMove = posts; }
    void open();
    bool isOpen() const { return m_state != State::Inactive; }
    State state() const { return m_state; }

    // Exact count of the visible rows.
    int recordCount() const;
    bool isEmpty() const { return recordCount() == 0; }
    int recNo() const { return m_current; }
    void setRecNo(int row);
    void first();
    void next();
    bool eof() const { return m_eof; }

    // Moves to the first visible row whose column text starts with prefix.
    bool locate(const QString &column, const QString &prefix, Qt::CaseSensitivity cs = Qt::CaseInsensitive);
    // Moves to the first visible row whose column holds exactly this stored text.
    bool find(const QString &column, const QString &value);

    // The key that pins the current row (ID, or the hidden RID), and the move back
    // to the row holding it, for a list reopened after a change.
    QVariant rowKey() const;
    bool findRowKey(const QVariant &key);

    QStringList columnNames() const { return m_rows.names(); }
    int columnIndex(const QString &name) const { return m_rows.columnIndex(name); }
    bool hasColumn(const QString &name) const { return columnIndex(name) >= 0; }
    ColumnKind columnKind(int column) const { return m_rows.kind(column); }

    // The current row (or the edit buffer while editing).
    QVariant value(const QString &column) const;
    QVariant value(int column) const;
    QString text(const QString &column) const;
    QString text(int column) const;
    // Throws for an empty value: an empty text is no number.
    double number(const QString &column) const;
    // Null, or a text of blanks only.
    bool isNull(const QString &column) const;
    bool logical(const QString &column) const;
    QDate date(const QString &column) const;

    // Any visible row, for views over the snapshot.
    QVariant valueAt(int row, int column) const;
    QString rawAt(int row, int column) const; // stored text form

    void edit();
    void insert();
    void setValue(const QString &column, const QVariant &value);
    void setValue(int column, const QVariant &value);
    // Text in the program's own forms: dd.mm.yy dates, decimal comma, True/False.
    void setText(const QString &column, const QString &text);
    // Writes every column assigned since edit(), to the row as it was read; a row changed
    // since on another computer throws RowChangedError, the snapshot row is read again and
    // the edit buffer kept; a row deleted meanwhile throws RowDeletedError.
    void post();
    // Compare-and-set: writes the edit only if the stored column still holds
    // expectedRaw ("" for empty or null). False when another computer changed it
    // first; the edit is then dropped and the snapshot left as it was.
    bool postExpecting(const QString &column, const QString &expectedRaw);
    // Writes the edited row as a new row, for a row another computer deleted meanwhile.
    void postAsNew();
    void cancel();
    void remove();
    // Reads the current row (the edited one while editing) again from its table, for a row
    // that this program changed by a direct statement; assigned edit values stay. False when gone.
    bool refreshRow();

    // Hides the rows whose column does not hold the value, without a new query.
    void setFilter(const RowFilter &filter);
    const RowFilter &filter() const { return m_rows.filter(); }
    void setFiltered(bool on);
    bool isFiltered() const { return m_rows.isFiltered(); }

    // Runs a change that is to be written at once; when it fails, the pending
    // record is dropped, so that no later cursor move writes it unchecked.
    template <typename F> decltype(auto) changeOrDrop(F &&change);

    // A statement without a result set, on this data set's connection.
    int execute(const QString &sql);

    // The program's own text form of a typed value.
    static QString textOf(ColumnKind kind, const QVariant &value);

signals:
    // The rows are about to be replaced, and were replaced: open, close, filter, insert,
    // delete. The two come in pairs, also when the change fails half-way.
    void aboutToReset();
    void reset();
    void rowChanged(int row);
    // The cursor was put on a row: set, located or found; a walk with first and next says nothing.
    void currentMoved(int row);

private:
    int column(const QString &name) const; // throws when absent
    QByteArrayView raw(int storedRow, int column) const;
    QVariant decode(int storedRow, int column) const;
    void requireCurrent() const;
    void requireEditing() const;
    void requireRowKey() const;
    void checkValue(int column, const QVariant &value) const;
    // Before the cursor moves: a pending edit is written where the list asks for it, else refused.
    void beforeMove();
    QVariant keyValue(int storedRow) const;
    QList<std::pair<int, QVariant>> assignedColumns() const;
    bool rereadRow(int storedRow);
    [[noreturn]] void refuseChangedRow();
    void finishEdit();
    void keepRow(int storedRow);

    Database &m_db;
    QString m_sql;
    QVariantList m_values;
    std::optional<TableQuery> m_query;
    QStringList m_held;
    bool m_postsOnMove = false;
    State m_state = State::Inactive;
    Snapshot m_rows;
    int m_current = -1;
    bool m_eof = true;

    QVector<QVariant> m_buffer;
    QVector<QByteArray> m_editWhole; // the edited row as read, for the columns not held
    QBitArray m_changed;
    int m_insertAt = -1;
    int m_editRow = -1; // the stored row that the edit buffer belongs to
};

template <typename F> decltype(auto) DataSet::changeOrDrop(F &&change)
{
    try {
        return change();
    } catch (const RowChangedError &) {
        throw; // what the user typed stays for him to write again or cancel
    } catch (...) {
        cancel();
        throw;
    }
}
