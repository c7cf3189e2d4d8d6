#include "host/data_buffer.h"

#include <cstdlib>

#include "host/errors.h"

KtDataBuffer::~KtDataBuffer() { std::free(data); }

bool KtDataBuffer::Allocate(int n) {
    if (data || n < 0) return false;
    // At least one byte, so that an empty buffer is still a held block.
    data = static_cast<unsigned char*>(std::malloc(n > 0 ? static_cast<size_t>(n) : 1));
    if (!data) return false;
    length = n;
    return true;
}

void KtDataBuffer::Discard() {
    std::free(data);
    data = nullptr;
    length = 0;
}

c_DataBuffer* c_DataBuffer::New(int n) {
    if (!Allocate(n)) RuntimeError(String("Allocate DataBuffer failed"));
    return this;
}
