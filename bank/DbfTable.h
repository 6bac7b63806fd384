#pragma once

#include <QByteArray>
#include <QList>

// A dBASE III table in memory: its fields and the raw bytes of each record.
// Throws AppError for a header that does not add up or a file cut short.
class DbfTable
{
public:
    struct Field
    {
        QByteArray name;
        char type;
        int offset; // within a record, after the deletion flag
        int length;
    };

    explicit DbfTable(const QByteArray &data);

    static bool looksLikeDbf(const QByteArray &start);

    const QList<Field> &fields() const { return m_fields; }
    // The header's byte 29, where some writers name the text's code page; 0 names none.
    uchar languageDriver() const { return m_languageDriver; }
    int fieldIndex(const char *name) const; // -1 when absent
    int recordCount() const { return m_count; }
    bool isDeleted(int record) const;
    // A record begins with a blank, or with '*' when deleted; anything else means the records slipped.
    bool hasRecordFlag(int record) const;
    // The field's bytes up to a NUL, without the blanks that pad them.
    QByteArray raw(int record, int field) const;

private:
    QByteArray m_data;
    QList<Field> m_fields;
    int m_count = 0;
    int m_headerLength = 0;
    int m_recordLength = 0;
    uchar m_languageDriver = 0;
};
