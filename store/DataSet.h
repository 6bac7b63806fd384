#pragma once

#include "store/Schema.h"

#include <QBitArray>
#include <QDate>
#include <QObject>
#include <QVariant>
#include <QVector>

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
    void setSql(const QString &sql);
    QString sql() const { return m_sql; }
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
    bool locate(const QString &column, const QString &prefix,
                Qt::CaseSensitivity cs = Qt::CaseInsensitive);

    // Moves to the first visible row whose column holds exactly this stored text.
    bool find(const QString &column, const QString &value);

    QStringList columnNames() const { return m_names; }
    int columnIndex(const QString &name) const; // -1 when absent; any letter case
    bool hasColumn(const QString &name) const { return columnIndex(name) >= 0; }
    ColumnKind columnKind(int column) const { return m_kinds.at(column); }

    // The current row (or the edit buffer while editing).
    QVariant value(const QString &column) const;
    QVariant value(int column) const;
    QString text(const QString &column) const;
    QString text(int column) const;
    double number(const QString &column) const;
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
    void post();
    void cancel();
    void remove();

    // A filter of the forms COLUMN='text' or COLUMN=number; hides rows without a new query.
    void setFilter(const QString &expression);
    QString filter() const { return m_filterText; }
    void setFiltered(bool on);
    bool isFiltered() const { return m_filtered; }

    // A statement without a result set, on this data set's connection.
    int execute(const QString &sql);

    // The program's own text form of a typed value.
    static QString textOf(ColumnKind kind, const QVariant &value);

signals:
    // The rows were replaced: open, close, filter, insert, delete.
    void reset();
    void rowChanged(int row);

private:
    struct Filter;
    int column(const QString &name) const; // throws when absent
    int storeRow(int visibleRow) const;
    QVariant decode(int storeRow, int column) const;
    QByteArrayView rawBytes(int storeRow, int column) const;
    QByteArray encode(const QVector<QVariant> &values) const;
    void requireCurrent() const;
    void requireEditing() const;
    QVariant keyValue(int storeRow) const;
    void rebuildView();
    void keepRow(int storeRow);
    bool passes(int storeRow) const;

    Database &m_db;
    QString m_sql;
    State m_state = State::Inactive;
    const TableDef *m_table = nullptr;
    int m_keyColumn = -1;
    QStringList m_names;            // visible columns, canonical names
    QVector<ColumnKind> m_kinds;    // per stored column
    QVector<int> m_widths;          // text widths, 0 = unlimited
    int m_storedColumns = 0;        // visible + hidden key
    QVector<QByteArray> m_rows;     // offsets then UTF-8 text of every stored column
    QVector<int> m_view;            // visible row -> stored row, when filtered
    bool m_filtered = false;
    QString m_filterText;
    Filter *m_filter = nullptr;
    int m_current = -1;
    bool m_eof = true;

    QVector<QVariant> m_buffer;
    QBitArray m_changed;
    int m_insertAt = -1;
};
