// A corrupt picture file must not make the decoder allocate beyond what the
// file can hold: every malloc of this test process is watched.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "host/picture_file.h"

#if defined(__SANITIZE_ADDRESS__)
TEST(PictureBudget, CorruptFilesAllocateLittle) {
    GTEST_SKIP() << "the sanitizers own malloc; the plain build runs this test";
}
#else
extern "C" void* __libc_malloc(size_t size);
extern "C" void* __libc_realloc(void* block, size_t size);
namespace {
size_t largest_request = 0;
}
extern "C" void* malloc(size_t size) {
    if (size > largest_request) largest_request = size;
    return __libc_malloc(size);
}
extern "C" void* realloc(void* block, size_t size) {
    if (size > largest_request) largest_request = size;
    return __libc_realloc(block, size);
}

namespace {

std::string Read(const std::string& path) {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    EXPECT_NE(f, nullptr) << path;
    std::string bytes;
    char chunk[4096];
    size_t got;
    while (f && (got = std::fread(chunk, 1, sizeof chunk, f)) > 0) bytes.append(chunk, got);
    if (f) std::fclose(f);
    return bytes;
}

unsigned char* Decode(std::string& bytes, int* w, int* h, int* c) {
    std::FILE* f = fmemopen(bytes.data(), bytes.size(), "rb");
    std::setvbuf(f, nullptr, _IONBF, 0);
    largest_request = 0;
    unsigned char* pixels = DecodePictureFile(f, w, h, c);
    std::fclose(f);
    return pixels;
}

const std::string kSeeds = std::string(std::getenv("GRIMALOU_SOURCE_DIR")) + "/tests/fuzz/fuzz_picture_loading/";

TEST(PictureBudget, AChunkLongerThanTheFileIsRefusedBeforeItIsAllocated) {
    // A 2 x 2 PNG whose second data chunk declares about 1.1 GB.
    std::string bytes = Read(kSeeds + "idat_length_beyond_file");
    int w = 0, h = 0, c = 0;
    unsigned char* pixels = Decode(bytes, &w, &h, &c);
    EXPECT_EQ(pixels, nullptr);
    EXPECT_LT(largest_request, size_t(1) << 20) << "largest block asked for: " << largest_request;
}

TEST(PictureBudget, SoundPicturesStillDecode) {
    std::string bytes = Read(kSeeds + "rgba.png");
    int w = 0, h = 0, c = 0;
    unsigned char* pixels = Decode(bytes, &w, &h, &c);
    ASSERT_NE(pixels, nullptr);
    EXPECT_GT(w, 0);
    EXPECT_EQ(c, 4);
    std::free(pixels);
}

TEST(PictureBudget, DeclaredSizesAboveTheLimitAreRefused) {
    // A valid header for 8193 x 8193 pixels and nothing else.
    std::string bytes = Read(kSeeds + "rgba.png");
    const unsigned char big[8] = {0, 0, 0x20, 0x01, 0, 0, 0x20, 0x01};
    bytes.replace(16, 8, reinterpret_cast<const char*>(big), 8);
    int w = 0, h = 0, c = 0;
    EXPECT_EQ(Decode(bytes, &w, &h, &c), nullptr);
    EXPECT_LT(largest_request, size_t(1) << 20);
}

}  // namespace
#endif
