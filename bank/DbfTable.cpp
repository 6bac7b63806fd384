#include "bank/DbfTable.h"

#include "store/AppError.h"

#include <QtEndian>

namespace {

constexpr int headerSize = 32;
constexpr int descriptorSize = 32;

} // namespace

bool DbfTable::looksLikeDbf(const QByteArray &start)
{
    // dBASE III and its variants with memo files; the header is at least one descriptor long.
    static const unsigned char versions[] = {0x03, 0x83, 0x8B, 0xF5, 0x30};
    if (start.size() < headerSize)
        return false;
    const auto version = static_cast<unsigned char>(start.at(0));
    const int month = start.at(2);
    const int day = start.at(3);
    return std::find(std::begin(versions), std::end(versions), version) != std::end(versions)
           && month >= 1 && month <= 12 && day >= 1 && day <= 31;
}

DbfTable::DbfTable(const QByteArray &data) : m_data(data)
{
    if (!looksLikeDbf(data))
        throw AppError(QStringLiteral("Файл не является таблицей dBASE"));
    const auto *bytes = reinterpret_cast<const uchar *>(data.constData());
    const quint32 count = qFromLittleEndian<quint32>(bytes + 4);
    m_headerLength = qFromLittleEndian<quint16>(bytes + 8);
    m_recordLength = qFromLittleEndian<quint16>(bytes + 10);
    m_languageDriver = bytes[29];
    if (m_headerLength < headerSize + 1 || m_headerLength > data.size())
        throw AppError(QStringLiteral("Таблица dBASE обрезана: заголовок длиной %1 байт, а в файле %2").arg(m_headerLength).arg(data.size()));
    int offset = 0;
    for (int at = headerSize; at + descriptorSize <= m_headerLength && data.at(at) != '\r'; at += descriptorSize) {
        Field field;
        field.name = QByteArray(data.constData() + at, 11);
        field.name.truncate(qstrnlen(field.name.constData(), 11));
        field.type = data.at(at + 11);
        field.length = bytes[at + 16];
        field.offset = offset;
        offset += field.length;
        m_fields << field;
    }
    if (m_fields.isEmpty() || offset + 1 != m_recordLength)
        throw AppError(QStringLiteral("Таблица dBASE повреждена: поля занимают %1 байт, а запись %2").arg(offset + 1).arg(m_recordLength));
    const qint64 needed = qint64(m_headerLength) + qint64(count) * m_recordLength;
    if (needed > data.size())
        throw AppError(QStringLiteral("Таблица dBASE обрезана: записей %1, а в файле целиком только %2")
                           .arg(count).arg((data.size() - m_headerLength) / m_recordLength));
    m_count = int(count);
}

int DbfTable::fieldIndex(const char *name) const
{
    for (int i = 0; i < m_fields.size(); ++i)
        if (m_fields.at(i).name.compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

bool DbfTable::isDeleted(int record) const
{
    return m_data.at(m_headerLength + qint64(record) * m_recordLength) == '*';
}

bool DbfTable::hasRecordFlag(int record) const
{
    const char flag = m_data.at(m_headerLength + qint64(record) * m_recordLength);
    return flag == ' ' || flag == '*';
}

QByteArray DbfTable::raw(int record, int field) const
{
    const Field &f = m_fields.at(field);
    QByteArray bytes(m_data.constData() + m_headerLength + qint64(record) * m_recordLength + 1 + f.offset, f.length);
    // Some writers pad with NULs instead of blanks; what follows a NUL is no text.
    bytes.truncate(qstrnlen(bytes.constData(), size_t(bytes.size())));
    return bytes.trimmed();
}
