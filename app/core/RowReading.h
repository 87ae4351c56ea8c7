#pragma once

#include "app/core/RowStore.h"

#include <QString>

#include <functional>

// The reading of rows kept in a RowStore, 1-based, with a row's time as the
// text of its sub-item 1: what the list and a snapshot of it both offer. An
// index out of range throws Failure.
class RowReading {
public:
    using TimeFormatter = std::function<QString(qint64 time)>;

    int Count() const { return static_cast<int>(m_store.Count()); }
    QString Text(int index) const;
    // The text's length in UTF-16 units, and the text appended to out, without a copy of their own.
    qsizetype TextLength(int index) const;
    void AppendText(QString& out, int index) const;
    // The text of column k + 1; only sub-item 1 (the time's text) is ever set.
    QString SubItem(int index, int k) const;
    qint64 Time(int index) const;
    bool Checked(int index) const;
    // How a row's time becomes its sub-item text; it may be called from several threads at once.
    const TimeFormatter& Formatter() const { return m_formatTime; }

protected:
    RowReading(RowStore store, TimeFormatter formatter)
        : m_store(std::move(store)), m_formatTime(std::move(formatter))
    {
    }
    ~RowReading() = default;

    const RowStore::Row& At(int index) const;

    RowStore m_store;
    TimeFormatter m_formatTime;
};
