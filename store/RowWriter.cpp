#include "store/RowWriter.h"

#include "store/CellForm.h"
#include "store/Database.h"
#include "store/ResultReader.h"

#include <QSqlQuery>

#include <memory>

namespace {

QString setList(const QList<RowWriter::Column> &columns)
{
    QStringList sets;
    for (const RowWriter::Column &c : columns)
        sets << c.name + QStringLiteral("=?");
    return sets.join(QLatin1Char(','));
}

} // namespace

RowWriter::RowWriter(Database &db, const TableDef &table) : m_db(db), m_table(table) {}

std::optional<QVector<QByteArray>> RowWriter::read(const QVariant &key, const QList<Column> &columns) const
{
    QStringList names;
    for (const Column &c : columns)
        names << c.name;
    if (names.isEmpty())
        names << QLatin1String(m_table.rowKey); // a row that shows its key only
    std::unique_ptr<ResultReader> reader = ResultReader::open(
        m_db, QStringLiteral("select %1 from %2 where %3=?%4")
                  .arg(names.join(QLatin1Char(',')), QLatin1String(m_table.name), QLatin1String(m_table.rowKey),
                       m_db.inTransaction() ? m_db.dialect().lockRows() : QString()),
        {key});
    if (!reader->next())
        return std::nullopt;
    QVector<QByteArray> cells(columns.size());
    for (int i = 0; i < columns.size(); ++i) {
        const QByteArrayView cell = reader->text(i);
        if (!cell.isEmpty())
            CellForm::appendFromEngine(cells[i], columns.at(i).kind, cell);
    }
    return cells;
}

RowWriter::Outcome RowWriter::update(const QVariant &key, const QList<Column> &written, const QVariantList &values,
                                     const QList<Column> &compared, const std::function<QByteArrayView(int)> &asRead)
{
    const bool ownTransaction = !m_db.inTransaction();
    if (ownTransaction)
        m_db.execute(m_db.dialect().beginWrite());
    try {
        // Like with like: the stored value goes through the same reading as the list's, so a
        // logical kept as 'true' or a number kept as text is the value the list shows, not a change.
        const std::optional<QVector<QByteArray>> stored = read(key, compared);
        Outcome outcome = Outcome::Written;
        if (!stored) {
            outcome = Outcome::Gone;
        } else {
            for (int i = 0; i < compared.size() && outcome == Outcome::Written; ++i)
                if (QByteArrayView(stored->at(i)) != asRead(i))
                    outcome = Outcome::Changed;
        }
        if (outcome == Outcome::Written) {
            QVariantList bound = values;
            bound << key;
            QSqlQuery q = m_db.run(QStringLiteral("update %1 set %2 where %3=?")
                                       .arg(QLatin1String(m_table.name), setList(written), QLatin1String(m_table.rowKey)),
                                   bound);
            if (q.numRowsAffected() != 1)
                outcome = Outcome::Gone;
        }
        if (ownTransaction) {
            if (outcome == Outcome::Written)
                m_db.commit();
            else
                m_db.rollback();
        }
        return outcome;
    } catch (...) {
        if (ownTransaction && m_db.inTransaction())
            m_db.rollback();
        throw;
    }
}

bool RowWriter::updateExpecting(const QVariant &key, const QList<Column> &written, const QVariantList &values,
                                const Column &expected, const QString &expectedRaw)
{
    const SqlDialect &dialect = m_db.dialect();
    QVariantList bound = values;
    // Nothing new to write, yet the check must still be made.
    const QString sets = written.isEmpty() ? expected.name + QLatin1Char('=') + expected.name : setList(written);
    bound << key;
    QString condition;
    if (expected.kind == ColumnKind::Text) {
        condition = QStringLiteral("coalesce(%1,'')=?").arg(expected.name);
        bound << expectedRaw;
    } else if (expectedRaw.isEmpty()) {
        condition = expected.name + QStringLiteral(" is null");
    } else {
        condition = expected.name + QStringLiteral("=?");
        bound << dialect.toDb(expected.kind, CellForm::typed(expected.kind, expectedRaw));
    }
    QSqlQuery q = m_db.run(QStringLiteral("update %1 set %2 where %3=? and %4")
                               .arg(QLatin1String(m_table.name), sets, QLatin1String(m_table.rowKey), condition),
                           bound);
    return q.numRowsAffected() == 1;
}

QVariant RowWriter::insert(const QList<Column> &written, const QVariantList &values)
{
    QStringList names;
    QStringList marks;
    for (const Column &c : written) {
        names << c.name;
        marks << QStringLiteral("?");
    }
    QString sql = QStringLiteral("insert into %1 (%2) values (%3)")
                      .arg(QLatin1String(m_table.name), names.join(QLatin1Char(',')), marks.join(QLatin1Char(',')));
    if (!m_table.hiddenRowKey) {
        m_db.run(sql, values);
        return {};
    }
    sql += m_db.dialect().returningKey(QLatin1String(m_table.rowKey));
    QSqlQuery q = m_db.run(sql, values);
    QVariant newKey = q.lastInsertId();
    if (q.isSelect() && q.next())
        newKey = q.value(0);
    return newKey;
}

void RowWriter::remove(const QVariant &key)
{
    m_db.run(QStringLiteral("delete from %1 where %2=?").arg(QLatin1String(m_table.name), QLatin1String(m_table.rowKey)),
             {key});
}
