#pragma once

#include "app/core/RowList.h"
#include "app/core/RowReading.h"

#include <QString>
#include <QStringList>

#include <cstdint>

// The rows and columns of a list as they were when taken, for a command that
// reads them across event points: a sort, a check mark or a row added
// meanwhile changes nothing here. The rows are copied, 24 bytes each, and
// their texts shared. Indexes are 1-based; an index out of range throws
// Failure. The list must outlive the snapshot.
class RowSnapshot : public RowReading {
public:
    explicit RowSnapshot(const RowList& list);

    int ColumnCount() const { return static_cast<int>(m_captions.size()); }
    QString ColumnText(int column) const;

    // Whether rows have left the list since (a removal, a Clear, a new
    // search), and whether it was emptied of them.
    bool ListLostRows() const { return m_list.m_store.Removals() != m_removals; }
    bool ListCleared() const { return m_list.m_store.Clears() != m_clears; }

private:
    const RowList& m_list;
    QStringList m_captions;
    uint64_t m_removals;
    uint64_t m_clears;
};
