#pragma once

#include "widgets/DataSetModel.h"

class DataSet;
class Session;

// grid_admin's view of q_admin: LOGIN and PAS of every user, edited in place
// into the row's edit buffer; the row is saved when the cursor leaves it.
class AdminModel : public DataSetModel
{
    Q_OBJECT

public:
    AdminModel(Session &session, DataSet &users, QObject *parent = nullptr);

    static const QStringList &columns();

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    // A password another user has, the administrator's code or more than one character is refused with a message.
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;

private:
    Session &m_session;
};
