#include "app/core/FolderListing.h"

#include <algorithm>

void FolderListing::GrowNames(size_t size)
{
    const size_t capacity = std::max(size, 2 * m_nameCapacity);
    auto names = std::make_unique_for_overwrite<char[]>(capacity);
    if (m_nameSize > 0)
        std::memcpy(names.get(), m_names.get(), m_nameSize);
    m_names = std::move(names);
    m_nameCapacity = capacity;
}
