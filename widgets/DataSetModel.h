#pragma once

#include <QAbstractTableModel>

class DataSet;

// A table model that follows a data set's rows: views forget the rows before they are
// replaced and read them again after, and a row changed in place is drawn again.
class DataSetModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    explicit DataSetModel(DataSet &rows, QObject *parent = nullptr);

protected:
    // The rows were replaced, perhaps by a statement with other columns.
    virtual void rowsReplaced() {}

    DataSet &m_rows;
};
