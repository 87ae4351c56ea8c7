#pragma once

#include <QByteArray>
#include <QtEndian>

// The bytes of a 16 by 16 pixel, 32-bit cursor file (.cur) with the given hot
// spot: the left half opaque blue, the right half transparent.
inline QByteArray TinyCursorFile(quint16 hotX, quint16 hotY)
{
    constexpr int kSide = 16;
    constexpr quint32 kHeaderSize = 40;
    constexpr quint32 kPixelBytes = kSide * kSide * 4;
    constexpr quint32 kMaskBytes = kSide * 4;  // one bit a pixel, rows padded to 32 bits
    QByteArray data;
    auto put16 = [&](quint16 value) { data.append(reinterpret_cast<const char*>(&(value = qToLittleEndian(value))), 2); };
    auto put32 = [&](quint32 value) { data.append(reinterpret_cast<const char*>(&(value = qToLittleEndian(value))), 4); };

    put16(0), put16(2), put16(1);  // reserved, type cursor, one image
    data.append(char(kSide)).append(char(kSide)).append(char(0)).append(char(0));
    put16(hotX), put16(hotY);
    put32(kHeaderSize + kPixelBytes + kMaskBytes), put32(22);

    put32(kHeaderSize), put32(kSide), put32(2 * kSide);  // height counts the colour and mask halves
    put16(1), put16(32);
    for (int i = 0; i < 6; ++i)
        put32(0);
    for (int y = 0; y < kSide; ++y) {
        for (int x = 0; x < kSide; ++x)
            put32(x < kSide / 2 ? 0xFF0000FFu : 0u);  // BGRA in little-endian order
    }
    data.append(QByteArray(kMaskBytes, '\0'));
    return data;
}
