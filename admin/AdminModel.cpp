#include "admin/AdminModel.h"
#include "admin/UserPassword.h"
#include "session/Session.h"

AdminModel::AdminModel(Session &session, DataSet &users, QObject *parent)
    : DataSetModel(users, parent), m_session(session)
{
}

const QStringList &AdminModel::columns()
{
    static const QStringList names = {QStringLiteral("LOGIN"), QStringLiteral("PAS")};
    return names;
}

int AdminModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() || !m_rows.isOpen() ? 0 : m_rows.recordCount();
}

int AdminModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(columns().size());
}

QVariant AdminModel::data(const QModelIndex &index, int role) const
{
    if ((role != Qt::DisplayRole && role != Qt::EditRole) || !index.isValid() || index.row() >= rowCount())
        return {};
    const QString &column = columns().at(index.column());
    // The row being edited shows what was typed into it, not yet saved.
    if (index.row() == m_rows.recNo() && m_rows.state() == DataSet::State::Edit)
        return m_rows.text(column);
    return m_rows.rawAt(index.row(), m_rows.columnIndex(column));
}

QVariant AdminModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section < columns().size())
        return columns().at(section);
    return {};
}

Qt::ItemFlags AdminModel::flags(const QModelIndex &index) const
{
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable : Qt::NoItemFlags;
}

bool AdminModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (role != Qt::EditRole || !index.isValid() || index.row() != m_rows.recNo())
        return false;
    const QString &column = columns().at(index.column());
    const QString typed = value.toString();
    bool taken = false;
    m_session.run([&] {
        if (column == QLatin1String("PAS")) {
            const QString stored = m_rows.rawAt(index.row(), m_rows.columnIndex(column));
            const QString refusal = UserPasswordRefusal(m_session.db(), typed, stored);
            if (!refusal.isEmpty()) {
                m_session.dialogs().message(refusal);
                return;
            }
        }
        m_rows.edit();
        m_rows.setValue(column, typed);
        taken = true;
    });
    emit dataChanged(index, index);
    return taken;
}
