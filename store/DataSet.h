#pragma once

#include "store/AppError.h"
#include "store/RowStore.h"
#include "store/Schema.h"
#include "store/SqlText.h"

#include <QBitArray>
#include <QDate>
#include <QObject>
#include <QVariant>
#include <QVector>

#include <functional>

class Database;

// A reusable query object: close, set the SQL text, open. The result is a static
// snapshot held in memory; edits are written to the table at once and kept in
// the snapshot. Rows are addressed by their position among the visible rows
// (those that pass the filter).
class DataSet : public QObject
{
    Q_OBJECT

public:
    enum class State { Inactive, Browse, Edit, Insert };

    explicit DataSet(Database &db, QObject *parent = nullptr);
    ~DataSet() override;

    void close();
    // The statement with `?` marks for the values, bound in order: a typed value
    // never becomes SQL text.
    void setSql(const QString &sql, const QVariantList &values = {});
    void setSql(const SqlStatement &statement) { setSql(statement.sql, statement.values); }
    QString sql() const { return m_sql; }
    QVariantList sqlValues() const { return m_values; }
    // The statement with its values written in as quoted literals, for messages and tests.
    QString statementText() const;
    // The columns to keep in memory for every row of a `select * from T [where ...]
    // [order by C [desc]]` over a table with a visible key; the other columns are read
    // by key for the row that asks for them, and an order by a date or a number is
    // made in memory. Any other statement keeps every column. Stays across setSql.
    void setHeldColumns(const QStringList &columns) { m_held = columns; }
    void open();
    bool isOpen() const { return m_state != State::Inactive; }
    State state() const { return m_state; }

    // Exact count of the visible rows.
    int recordCount() const;
    bool isEmpty() const { return recordCount() == 0; }
    int recNo() const { return m_current; }
    // Every cursor move (setRecNo, first, next, locate, find, a filter change)
    // posts a pending edit first; when that post throws, the cursor stays.
    void setRecNo(int row);
    void first();
    void next();
    bool eof() const { return m_eof; }

    // Moves to the first visible row whose column text starts with prefix.
    bool locate(const QString &column, const QString &prefix,
                Qt::CaseSensitivity cs = Qt::CaseInsensitive);

    // Moves to the first visible row whose column holds exactly this stored text.
    bool find(const QString &column, const QString &value);

    // The key that pins the current row (ID, or the hidden RID), and the move back
    // to the row holding it, for a list reopened after a change.
    QVariant rowKey() const;
    bool findRowKey(const QVariant &key);

    QStringList columnNames() const { return m_names; }
    int columnIndex(const QString &name) const; // -1 when absent; any letter case
    bool hasColumn(const QString &name) const { return columnIndex(name) >= 0; }
    ColumnKind columnKind(int column) const { return m_kinds.at(column); }

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
    // Writes every column assigned since edit(), by an update that names the row as it
    // was read; a row changed since on another computer throws RowChangedError, the
    // snapshot row is read again and the edit buffer kept.
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

    // A filter of the forms COLUMN='text' or COLUMN=number; hides rows without a new query.
    void setFilter(const QString &expression);
    QString filter() const { return m_filterText; }
    void setFiltered(bool on);
    bool isFiltered() const { return m_filtered; }

    // Runs a change that is to be written at once; when it fails, the pending
    // record is dropped, so that no later cursor move writes it unchecked.
    template <typename F> decltype(auto) changeOrDrop(F &&change);

    // A statement without a result set, on this data set's connection.
    int execute(const QString &sql);

    // The program's own text form of a typed value.
    static QString textOf(ColumnKind kind, const QVariant &value);

signals:
    // The rows were replaced: open, close, filter, insert, delete.
    void reset();
    void rowChanged(int row);
    // The cursor was put on a row: set, located or found; a walk with first and next says nothing.
    void currentMoved(int row);

private:
    struct Filter;
    struct Plan;
    Plan plan() const;
    int column(const QString &name) const; // throws when absent
    int storeRow(int visibleRow) const;
    int visibleRow(int storeRow) const; // -1 when filtered out
    QVariant decode(int storeRow, int column) const;
    QByteArrayView rawBytes(int storeRow, int column) const;
    QByteArrayView lazyBytes(int storeRow, int column) const;
    void fetchWhole(quint32 record) const;
    void writeRow(int storeRow, const QVector<QVariant> &values);
    void sortRows(int column, bool descending);
    // The first visible row, or every stored row, whose cell passes; a held
    // column's distinct values are judged once each.
    int firstMatch(int column, const std::function<bool(QByteArrayView)> &test) const;
    QVector<int> storedMatches(int column, const std::function<bool(QByteArrayView)> &test) const;
    void requireCurrent() const;
    void requireEditing() const;
    void requireRowKey() const;
    void checkValue(int column, const QVariant &value) const;
    void postPending();
    QVariant keyValue(int storeRow) const;
    void changedColumns(QStringList *sets, QVariantList *values) const;
    bool isTableColumn(int column) const;
    // Whether the row is stored now as the snapshot read it, compared in the snapshot's own forms.
    bool storedAsRead(int storeRow) const;
    bool rereadRow(int storeRow);
    [[noreturn]] void refuseChangedRow();
    void finishEdit();
    void rebuildView();
    void keepRow(int storeRow);
    bool passes(QByteArrayView raw) const;

    Database &m_db;
    QString m_sql;
    QVariantList m_values;
    QStringList m_held;
    State m_state = State::Inactive;
    const TableDef *m_table = nullptr;
    int m_keyColumn = -1;
    QStringList m_names;            // visible columns, canonical names
    QVector<ColumnKind> m_kinds;    // per stored column
    QVector<int> m_widths;          // text widths, 0 = unlimited
    int m_storedColumns = 0;        // visible + hidden key
    QVector<int> m_slot;            // per stored column: its column in m_store, or -1 when read by key
    RowStore m_store;
    QVector<quint32> m_order;       // stored row -> record of m_store
    QVector<int> m_view;            // visible row -> stored row, when filtered
    bool m_filtered = false;
    QString m_filterText;
    Filter *m_filter = nullptr;
    int m_current = -1;
    bool m_eof = true;

    // The whole of one record, for the columns not held.
    mutable qint64 m_wholeRecord = -1;
    mutable QVector<QByteArray> m_whole;

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
