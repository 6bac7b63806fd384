#include "store/RowFilter.h"

#include "store/CellForm.h"

#include <charconv>

void RowFilter::prepare(ColumnKind kind)
{
    m_kind = kind;
    m_valid = true;
    if (kind == ColumnKind::Number || kind == ColumnKind::Integer) {
        m_number = QString(m_value).trimmed().replace(QLatin1Char(','), QLatin1Char('.')).toDouble(&m_valid);
        return;
    }
    m_bytes = m_value.toUtf8();
}

bool RowFilter::passes(QByteArrayView raw) const
{
    if (!m_valid)
        return false;
    if (m_kind == ColumnKind::Number || m_kind == ColumnKind::Integer) {
        double value = 0;
        const auto parsed = std::from_chars(raw.data(), raw.data() + raw.size(), value);
        return parsed.ec == std::errc() && !raw.isEmpty() && value == m_number;
    }
    if (m_kind == ColumnKind::Text)
        return raw == m_bytes;
    return CellForm::text(m_kind, CellForm::typed(m_kind, QString::fromUtf8(raw))) == m_value;
}
