#include "app/core/RowReading.h"

#include "app/core/Failure.h"
#include "app/core/FileSystem.h"

const RowStore::Row& RowReading::At(int index) const
{
    if (index < 1 || index > Count())
        throw Failure(ErrorNumber::SubscriptOutOfRange, QStringLiteral("Index out of bounds"));
    return m_store[static_cast<size_t>(index - 1)];
}

QString RowReading::Text(int index) const
{
    return m_store.TextOf(At(index));
}

qsizetype RowReading::TextLength(int index) const
{
    return m_store.TextLength(At(index));
}

void RowReading::AppendText(QString& out, int index) const
{
    m_store.AppendTextOf(out, At(index));
}

QString RowReading::SubItem(int index, int k) const
{
    const RowStore::Row& row = At(index);
    return k == 1 && row.time != kNoTime ? m_formatTime(row.time) : QString();
}

qint64 RowReading::Time(int index) const
{
    return At(index).time;
}

bool RowReading::Checked(int index) const
{
    return At(index).checked != 0;
}
