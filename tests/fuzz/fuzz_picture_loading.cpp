// Picture loading on arbitrary bytes, through the host's decoder, the
// widening to premultiplied RGBA and the texture upload (over the recording GL
// layer): a picture either loads with its size and alpha rules kept, or the
// load gives null.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
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

// 16 million pixels: larger pictures only measure the machine's memory.
constexpr int kMaxPixels = 1 << 24;

std::string folder;

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
    folder = name;
    std::string data = folder + "/data";
    Check(mkdir(data.c_str(), 0700) == 0);
    for (const char* file : {"vexa2_program.glsl", "vexa2_fastshader.glsl", "vexa2_bumpshader.glsl",
                             "vexa2_matteshader.glsl", "vexa2_shadowshader.glsl", "vexa2_lightmapshader.glsl"})
        CopyFile(std::string(GRIMALOU_SOURCE_DIR) + "/data/" + file, data + "/" + file);
    static unsigned char font[960 * 16 * 4];
    for (unsigned char& byte : font) byte = 255;
    Check(stbi_write_png((data + "/vexa2_font.png").c_str(), 960, 16, 4, font, 960 * 4) != 0);

    KtRavlenGame* game = new KtRavlenGame();
    game->appDir = String(folder.c_str());
    InstallGlRecorder();
    InitCanvasGlobals();
    graphicsGeneration = 1;
    InitRenderer();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
    int w = 0, h = 0, components = 0;
    bool decodable = stbi_info_from_memory(bytes, static_cast<int>(size), &w, &h, &components) != 0;
    if (decodable && static_cast<int64_t>(w) * h > kMaxPixels) return 0;

    std::string path = folder + "/picture";
    std::FILE* file = std::fopen(path.c_str(), "wb");
    Check(file != nullptr);
    std::fwrite(bytes, 1, size, file);
    std::fclose(file);

    glRecorder().Clear();
    c_Texture* texture = c_Texture::Load(String(path.c_str()), 4, LinearFilter);
    if (texture) {
        Check(decodable);
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
