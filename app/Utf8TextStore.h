#pragma once

#include <QString>
#include <QStringView>

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string_view>
#include <vector>

// Holds many texts as UTF-8 in large shared blocks: a few bytes of overhead a
// text instead of a heap object each. Texts are never moved or freed one by
// one; Clear() releases them all.
class Utf8TextStore {
public:
    struct Ref {
        const char* bytes = nullptr;
        uint32_t length = 0;
    };

    Ref Append(QStringView text);
    // Appends the UTF-8 texts joined into one.
    Ref AppendJoined(std::initializer_list<std::string_view> utf8Parts);
    // Takes over every text of the other store; their Refs stay valid.
    void Adopt(Utf8TextStore&& other);
    static QString Decode(Ref ref) { return QString::fromUtf8(ref.bytes, ref.length); }
    void Clear();

private:
    // Room for at least `bytes` more, in the last block.
    char* Reserve(size_t bytes);

    std::vector<std::unique_ptr<char[]>> m_blocks;
    size_t m_blockSize = 0;
    size_t m_used = 0;
};
