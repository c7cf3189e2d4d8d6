// A collected byte buffer: pixels and vertex data travel in it. Multi-byte
// values are little-endian at any byte offset; callers keep offsets within
// Length().
#pragma once

#include <cstdint>
#include <cstring>

#include "runtime/collector.h"

class KtDataBuffer : public Object {
public:
    unsigned char* data = nullptr;  // owned; null when empty
    int length = 0;

    ~KtDataBuffer() override;

    // False when a block is already held or the memory cannot be had.
    bool Allocate(int length);
    void Discard();

    int Length() const { return length; }
    unsigned char* Data() const { return data; }

    int PeekByte(int offset) const { return static_cast<int8_t>(data[offset]); }
    void PokeByte(int offset, int value) { data[offset] = static_cast<unsigned char>(value); }
    int PeekShort(int offset) const { return static_cast<int16_t>(Get<uint16_t>(offset)); }
    void PokeShort(int offset, int value) { Put<uint16_t>(offset, static_cast<uint16_t>(value)); }
    int PeekInt(int offset) const { return static_cast<int32_t>(Get<uint32_t>(offset)); }
    void PokeInt(int offset, int value) { Put<uint32_t>(offset, static_cast<uint32_t>(value)); }
    float PeekFloat(int offset) const {
        uint32_t bits = Get<uint32_t>(offset);
        float value;
        std::memcpy(&value, &bits, 4);
        return value;
    }
    void PokeFloat(int offset, float value) {
        uint32_t bits;
        std::memcpy(&bits, &value, 4);
        Put<uint32_t>(offset, bits);
    }

private:
    // Byte by byte, so the order is little-endian whatever the machine's and
    // unaligned offsets are fine.
    template <class U>
    U Get(int offset) const {
        U value = 0;
        for (unsigned i = 0; i < sizeof(U); ++i) value |= static_cast<U>(static_cast<U>(data[offset + i]) << (8 * i));
        return value;
    }
    template <class U>
    void Put(int offset, U value) {
        for (unsigned i = 0; i < sizeof(U); ++i) data[offset + i] = static_cast<unsigned char>(value >> (8 * i));
    }
};

class c_DataBuffer : public KtDataBuffer {
public:
    // Allocates `length` bytes (contents undefined). A buffer that already
    // holds a block, a negative length or a failed allocation is the runtime
    // error "Allocate DataBuffer failed".
    c_DataBuffer* New(int length);
};
