#include "register/RegisterModel.h"
#include "document/DocumentColumns.h"
#include "session/Session.h"
#include "store/DataSet.h"
#include "store/Schema.h"

const QList<RegisterColumn> &registerColumns()
{
    static const QList<RegisterColumn> columns = {
        {"DATE", "Дата", 79},      {"NOM", "Номер", 59},        {"NAME_PL1", "Плательщик", 127},
        {"nal", "Налог", 60},      {"NAME_POL1", "Получатель", 219}, {"vid", "Вид платежа", 67},
        {"S", "Сумма", 103},       {"CHEKED", "V", 21},         {"LOGIN", "L", 15},
    };
    return columns;
}

QStringList registerHeldColumns()
{
    // NALOG and VID_PLAT stand behind the looked-up "nal" and "vid"; ID and the state are judged.
    QStringList columns{DocumentColumn::Id, DocumentColumn::State, DocumentColumn::Tax,
                        DocumentColumn::PaymentKind};
    for (const RegisterColumn &c : registerColumns())
        if (Schema::column(*Schema::table(DocumentTable::Current), QLatin1String(c.field)))
            columns << QLatin1String(c.field);
    return columns;
}

RegisterModel::RegisterModel(Session &session, DataSet &rows, QObject *parent)
    : DataSetModel(rows, parent), m_session(session)
{
    resolveColumns();
}

void RegisterModel::resolveColumns()
{
    m_fields.clear();
    for (const RegisterColumn &c : registerColumns())
        m_fields << m_rows.columnIndex(QLatin1String(c.field));
    m_login = m_rows.columnIndex(DocumentColumn::Login);
    m_nalog = m_rows.columnIndex(DocumentColumn::Tax);
    m_vidPlat = m_rows.columnIndex(DocumentColumn::PaymentKind);
}

int RegisterModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() || !m_rows.isOpen() ? 0 : m_rows.recordCount();
}

int RegisterModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : registerColumns().size();
}

QString RegisterModel::cellText(int row, int column) const
{
    const QByteArray field = registerColumns().at(column).field;
    if (field == "nal")
        return m_nalog < 0 ? QString() : m_session.taxName(m_rows.valueAt(row, m_nalog));
    if (field == "vid")
        return m_vidPlat < 0 ? QString() : m_session.paymentKindName(m_rows.rawAt(row, m_vidPlat));
    const int c = m_fields.at(column);
    if (c < 0)
        return {};
    return DataSet::textOf(m_rows.columnKind(c), m_rows.valueAt(row, c));
}

QColor RegisterModel::textColor(int row) const
{
    const bool own = m_login >= 0 && m_rows.rawAt(row, m_login) == m_session.userPas();
    return own ? QColor(255, 255, 255) : QColor(255, 255, 0);
}

QVariant RegisterModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    if (role == Qt::DisplayRole)
        return cellText(index.row(), index.column());
    if (role == Qt::ForegroundRole)
        return textColor(index.row());
    return {};
}

QVariant RegisterModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section < registerColumns().size())
        return QString::fromUtf8(registerColumns().at(section).caption);
    return {};
}
