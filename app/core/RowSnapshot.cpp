#include "app/core/RowSnapshot.h"

#include "app/core/Failure.h"

RowSnapshot::RowSnapshot(const RowList& list)
    : m_list(list),
      m_store(list.m_store.Snapshot()),
      m_formatTime(list.m_formatTime),
      m_removals(list.m_store.Removals()),
      m_clears(list.m_store.Clears())
{
    for (int c = 1; c <= list.ColumnCount(); ++c)
        m_captions << list.ColumnText(c);
}

const RowStore::Row& RowSnapshot::At(int index) const
{
    if (index < 1 || index > Count())
        throw Failure(ErrorNumber::SubscriptOutOfRange, QStringLiteral("Index out of bounds"));
    return m_store[static_cast<size_t>(index - 1)];
}

QString RowSnapshot::Text(int index) const
{
    return m_store.TextOf(At(index));
}

qsizetype RowSnapshot::TextLength(int index) const
{
    return m_store.TextLength(At(index));
}

void RowSnapshot::AppendText(QString& out, int index) const
{
    m_store.AppendTextOf(out, At(index));
}

QString RowSnapshot::SubItem(int index, int k) const
{
    const RowStore::Row& row = At(index);
    return k == 1 && row.time != kNoTime ? m_formatTime(row.time) : QString();
}

qint64 RowSnapshot::Time(int index) const
{
    return At(index).time;
}

bool RowSnapshot::Checked(int index) const
{
    return At(index).checked != 0;
}

QString RowSnapshot::ColumnText(int column) const
{
    if (column < 1 || column > ColumnCount())
        throw Failure(ErrorNumber::SubscriptOutOfRange, QStringLiteral("Index out of bounds"));
    return m_captions[column - 1];
}
