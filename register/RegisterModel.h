#pragma once

#include "widgets/DataSetModel.h"

#include <QColor>

class DataSet;
class Session;

struct RegisterColumn
{
    const char *field;   // column of q1, or "nal"/"vid" for a looked-up name
    const char *caption;
    int width;           // pixels
};

// The grid's columns, left to right.
const QList<RegisterColumn> &registerColumns();
// What the grid shows and the register's commands judge: the columns its list keeps
// for every document; the rest is read when a document itself is wanted.
QStringList registerHeldColumns();

// The register grid's view of q1's snapshot.
class RegisterModel : public DataSetModel
{
    Q_OBJECT

public:
    RegisterModel(Session &session, DataSet &rows, QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    // The plain text of one cell, as drawn.
    QString cellText(int row, int column) const;
    // White for the user's own rows, yellow for the others'.
    QColor textColor(int row) const;

private:
    void rowsReplaced() override { resolveColumns(); }
    void resolveColumns();

    Session &m_session;
    QVector<int> m_fields; // data-set column per grid column; -1 for looked-up names
    int m_login = -1;
    int m_nalog = -1;
    int m_vidPlat = -1;
};
