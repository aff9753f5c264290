#include "DbConnection.h"
#include "RuntimeError.h"

namespace {
[[noreturn]] void raiseNoItem()
{
    raiseError(ErrNo::ItemNotFound,
               QStringLiteral(
                   "Item cannot be found in the collection corresponding to the requested name or ordinal."));
}
} // namespace

void Recordset::raiseClosed()
{
    raiseError(ErrNo::ObjectRequired, QStringLiteral("Operation is not allowed when the object is closed."));
}

int Recordset::fieldCount() const
{
    return m_names.size();
}

QString Recordset::fieldName(int i) const
{
    if (i < 0 || i >= m_names.size())
        raiseNoItem();
    return m_names.at(i);
}

int Recordset::fieldIndex(const QString &name) const
{
    for (int i = 0; i < m_names.size(); ++i) {
        if (m_names.at(i).compare(name, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

void Recordset::checkRow(int i) const
{
    if (!isOpen() || m_eof)
        raiseError(ErrNo::NoCurrentRecord,
                   QStringLiteral("Either BOF or EOF is True, or the current record has been deleted."));
    if (i < 0 || i >= m_names.size())
        raiseNoItem();
}

void Recordset::rowUtf8(QByteArrayView *cells, int n) const
{
    m_row.resize(size_t(n));
    for (int i = 0; i < n; ++i) {
        m_row[size_t(i)] = text(i).toUtf8();
        cells[i] = m_row[size_t(i)];
    }
}

QVariant Recordset::value(const QString &name) const
{
    const int i = fieldIndex(name);
    if (i < 0)
        raiseNoItem();
    return value(i);
}
