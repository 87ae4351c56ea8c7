#include "app/core/RowSnapshot.h"

#include "app/core/Failure.h"

RowSnapshot::RowSnapshot(const RowList& list)
    : RowReading(list.m_store.Snapshot(), list.m_formatTime),
      m_list(list),
      m_removals(list.m_store.Removals()),
      m_clears(list.m_store.Clears())
{
    for (int c = 1; c <= list.ColumnCount(); ++c)
        m_captions << list.ColumnText(c);
}

QString RowSnapshot::ColumnText(int column) const
{
    if (column < 1 || column > ColumnCount())
        throw Failure(ErrorNumber::SubscriptOutOfRange, QStringLiteral("Index out of bounds"));
    return m_captions[column - 1];
}
