#include "admin/AdminModel.h"
#include "admin/UserPassword.h"
#include "session/Session.h"

AdminModel::AdminModel(Session &session, DataSet &users, QObject *parent)
    : QAbstractTableModel(parent), m_session(session), m_users(users)
{
    // Views forget the rows before they change, and read them again after.
    connect(&m_users, &DataSet::aboutToReset, this, [this] { beginResetModel(); });
    connect(&m_users, &DataSet::reset, this, [this] { endResetModel(); });
    connect(&m_users, &DataSet::rowChanged, this, [this](int row) {
        emit dataChanged(index(row, 0), index(row, columnCount() - 1));
    });
}

const QStringList &AdminModel::columns()
{
    static const QStringList names = {QStringLiteral("LOGIN"), QStringLiteral("PAS")};
    return names;
}

int AdminModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() || !m_users.isOpen() ? 0 : m_users.recordCount();
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
    if (index.row() == m_users.recNo() && m_users.state() == DataSet::State::Edit)
        return m_users.text(column);
    return m_users.rawAt(index.row(), m_users.columnIndex(column));
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
    if (role != Qt::EditRole || !index.isValid() || index.row() != m_users.recNo())
        return false;
    const QString &column = columns().at(index.column());
    const QString typed = value.toString();
    bool taken = false;
    m_session.run([&] {
        if (column == QLatin1String("PAS")) {
            const QString stored = m_users.rawAt(index.row(), m_users.columnIndex(column));
            const QString refusal = UserPasswordRefusal(m_session.db(), typed, stored);
            if (!refusal.isEmpty()) {
                m_session.dialogs().message(refusal);
                return;
            }
        }
        m_users.edit();
        m_users.setValue(column, typed);
        taken = true;
    });
    emit dataChanged(index, index);
    return taken;
}
