#include "app/core/Utf8Bytes.h"

#include <cstdint>
#include <cstring>

namespace {
// Walks valid UTF-8 from p, writing each byte to out when out is not null;
// returns false at the first byte that breaks the encoding.
bool ScanUtf8(const unsigned char* p, const unsigned char* end, unsigned char* out)
{
    while (p < end) {
        // Eight ASCII bytes at a time, the usual case.
        if (end - p >= 8) {
            uint64_t block;
            std::memcpy(&block, p, sizeof block);
            if ((block & 0x8080808080808080ULL) == 0) {
                if (out) {
                    std::memcpy(out, &block, sizeof block);
                    out += 8;
                }
                p += 8;
                continue;
            }
        }
        const unsigned char c = *p;
        int extra = 0;
        char32_t code = c;
        if (c < 0x80) {
            extra = 0;
        } else if (c >= 0xc2 && c <= 0xdf) {
            extra = 1;
            code = c & 0x1f;
        } else if (c >= 0xe0 && c <= 0xef) {
            extra = 2;
            code = c & 0x0f;
        } else if (c >= 0xf0 && c <= 0xf4) {
            extra = 3;
            code = c & 0x07;
        } else {
            return false;
        }
        if (end - p <= extra)
            return false;
        for (int i = 1; i <= extra; ++i) {
            if ((p[i] & 0xc0) != 0x80)
                return false;
            code = (code << 6) | (p[i] & 0x3f);
        }
        const bool overlong = (extra == 2 && code < 0x800) || (extra == 3 && code < 0x10000);
        if (overlong || code > 0x10ffff || (code >= 0xd800 && code <= 0xdfff))
            return false;
        if (out) {
            std::memcpy(out, p, extra + 1);
            out += extra + 1;
        }
        p += extra + 1;
    }
    return true;
}

const unsigned char* Bytes(std::string_view text)
{
    return reinterpret_cast<const unsigned char*>(text.data());
}
}  // namespace

bool IsUtf8(std::string_view bytes)
{
    return ScanUtf8(Bytes(bytes), Bytes(bytes) + bytes.size(), nullptr);
}

bool CopyIfUtf8(std::string_view bytes, char* out)
{
    return ScanUtf8(Bytes(bytes), Bytes(bytes) + bytes.size(), reinterpret_cast<unsigned char*>(out));
}
