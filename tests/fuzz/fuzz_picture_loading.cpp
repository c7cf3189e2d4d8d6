// Picture loading on arbitrary bytes, through the host's decoder, the
// widening to premultiplied RGBA and the texture upload (over the recording GL
// layer): a picture either loads with its size and alpha rules kept, or the
// load gives null. The bytes reach the host as an open file held in memory.
#ifndef _GNU_SOURCE
#define _GNU_SOURCE  // fopencookie
#endif
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb/stb_image.h>
#include <stb/stb_image_write.h>

#include "canvas/renderer.h"
#include "canvas/texture.h"
#include "host/game.h"
#include "host/glfw_game.h"
#include "tests/support/gl_recorder.h"

namespace {

void Check(bool ok) {
    if (!ok) std::abort();
}

// 4096 pixels (64 x 64): a picture's cost grows with its declared size, not
// with its file's; larger ones are refused through the loader's own limit, so
// that every input costs a fraction of a millisecond.
constexpr int64_t kHarnessMaxPixels = 64 * 64;

// The path that stands for the input; it names no real file.
const char* const kInputPath = "/fuzz-input";

// The input as a read-only stream that behaves like a file on disk: unlike
// fmemopen's, it may be positioned beyond its end, where reading gives
// nothing (the decoders skip chunks by seeking, and a length that runs past
// the end must leave them at the end, not where they were).
struct InputStream {
    const uint8_t* bytes;
    size_t size;
    off64_t position;
};

ssize_t ReadInput(void* cookie, char* buffer, size_t wanted) {
    InputStream* in = static_cast<InputStream*>(cookie);
    if (in->position >= static_cast<off64_t>(in->size)) return 0;
    size_t n = std::min(wanted, in->size - static_cast<size_t>(in->position));
    std::memcpy(buffer, in->bytes + in->position, n);
    in->position += static_cast<off64_t>(n);
    return static_cast<ssize_t>(n);
}

int SeekInput(void* cookie, off64_t* offset, int whence) {
    InputStream* in = static_cast<InputStream*>(cookie);
    off64_t base = whence == SEEK_SET ? 0 : whence == SEEK_CUR ? in->position : static_cast<off64_t>(in->size);
    if (base + *offset < 0) return -1;
    in->position = *offset = base + *offset;
    return 0;
}

int CloseInput(void*) { return 0; }

// Opens the input for the picture path; every other file (the shader texts,
// the font) comes from the data folder made at start.
class InputGame : public KtRavlenGame {
public:
    InputStream input{nullptr, 0, 0};
    std::FILE* OpenFile(const String& path, const String& mode) override {
        if (path != String(kInputPath)) return KtRavlenGame::OpenFile(path, mode);
        input.position = 0;
        return fopencookie(&input, "rb", cookie_io_functions_t{ReadInput, nullptr, SeekInput, CloseInput});
    }
};

InputGame* game = nullptr;

void CopyFile(const std::string& from, const std::string& to) {
    std::FILE* in = std::fopen(from.c_str(), "rb");
    std::FILE* out = std::fopen(to.c_str(), "wb");
    Check(in && out);
    char buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, in)) > 0) std::fwrite(buffer, 1, n, out);
    std::fclose(in);
    std::fclose(out);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    char name[] = "/tmp/grimalou-picture-fuzz-XXXXXX";
    Check(mkdtemp(name) != nullptr);
    std::string folder = name;
    std::string data = folder + "/data";
    Check(mkdir(data.c_str(), 0700) == 0);
    for (const char* file : {"vexa2_program.glsl", "vexa2_fastshader.glsl", "vexa2_bumpshader.glsl",
                             "vexa2_matteshader.glsl", "vexa2_shadowshader.glsl", "vexa2_lightmapshader.glsl"})
        CopyFile(std::string(GRIMALOU_SOURCE_DIR) + "/data/" + file, data + "/" + file);
    static unsigned char font[960 * 16 * 4];
    for (unsigned char& byte : font) byte = 255;
    Check(stbi_write_png((data + "/vexa2_font.png").c_str(), 960, 16, 4, font, 960 * 4) != 0);

    game = new InputGame();
    game->appDir = String(folder.c_str());
    InstallGlRecorder();
    InitCanvasGlobals();
    graphicsGeneration = 1;
    InitRenderer();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
    game->input.bytes = bytes;
    game->input.size = size;
    // What the decoder's header reader makes of the same stream (a file and a
    // block of memory differ where a chunk's length runs past the end).
    int w = 0, h = 0, components = 0;
    std::FILE* file = game->OpenFile(String(kInputPath), String("rb"));
    bool decodable = stbi_info_from_file(file, &w, &h, &components) != 0;
    std::fclose(file);
    glRecorder().Clear();
    c_Texture* texture = c_Texture::Load(String(kInputPath), 4, LinearFilter, kHarnessMaxPixels);
    if (texture) {
        Check(decodable && int64_t(w) * h <= kHarnessMaxPixels);
        Check(texture->Width() == w && texture->Height() == h);
        Check(texture->data->Length() == w * h * 4);
        // Premultiplied: no colour byte above its alpha.
        const unsigned char* p = texture->data->Data();
        for (int i = 0; i < w * h; ++i, p += 4) Check(p[0] <= p[3] && p[1] <= p[3] && p[2] <= p[3]);
        texture->Release();
    }
    gc_collect_step();
    return 0;
}
