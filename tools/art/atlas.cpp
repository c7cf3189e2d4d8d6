// Packing sprites into an atlas picture with its text index.
#define STB_RECT_PACK_IMPLEMENTATION
#include <stb/stb_rect_pack.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "art.h"

namespace art {

namespace {

// Transparent texels between neighbouring sprites, so that linear filtering
// and the first mipmap levels never mix two sprites.
constexpr int kPadding = 4;

bool tryPack(std::vector<stbrp_rect>& rects, int w, int h) {
    std::vector<stbrp_node> nodes(w);
    stbrp_context ctx;
    stbrp_init_target(&ctx, w - kPadding, h - kPadding, nodes.data(), (int)nodes.size());
    return stbrp_pack_rects(&ctx, rects.data(), (int)rects.size()) == 1;
}

}  // namespace

Atlas writeAtlas(const std::string& dir, const std::string& base, std::vector<Sprite> sprites) {
    // Index lines in name order: a stable, readable file whatever the packing.
    std::sort(sprites.begin(), sprites.end(),
              [](const Sprite& a, const Sprite& b) { return a.name < b.name; });
    std::vector<stbrp_rect> rects(sprites.size());
    for (size_t i = 0; i < sprites.size(); ++i) {
        rects[i].id = (int)i;
        rects[i].w = sprites[i].w + kPadding;
        rects[i].h = sprites[i].h + kPadding;
    }
    // Power-of-two sides keep mipmapped textures legal on every GL ES 2.0 driver.
    static const int sizes[][2] = {{512, 512},   {1024, 512},  {1024, 1024}, {2048, 1024},
                                   {2048, 2048}, {4096, 2048}, {4096, 4096}};
    Atlas atlas;
    atlas.base = base;
    for (auto& s : sizes) {
        if (tryPack(rects, s[0], s[1])) {
            atlas.w = s[0];
            atlas.h = s[1];
            break;
        }
    }
    if (!atlas.w) {
        std::fprintf(stderr, "art_generator: %s does not fit in 4096 x 4096\n", base.c_str());
        std::exit(1);
    }

    cairo_surface_t* surf = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, atlas.w, atlas.h);
    cairo_surface_flush(surf);
    unsigned char* data = cairo_image_surface_get_data(surf);
    const int stride = cairo_image_surface_get_stride(surf);
    std::memset(data, 0, (size_t)stride * atlas.h);
    std::string index;
    for (size_t i = 0; i < sprites.size(); ++i) {
        const Sprite& s = sprites[i];
        int x = rects[i].x + kPadding, y = rects[i].y + kPadding;
        for (int row = 0; row < s.h; ++row)
            std::memcpy(data + (size_t)(y + row) * stride + 4 * x, &s.px[(size_t)row * s.w], 4 * s.w);
        atlas.entries.push_back({s.name, Rect{x, y, s.w, s.h}});
        index += s.name + ":" + std::to_string(x) + ":" + std::to_string(y) + ":" +
                 std::to_string(s.w) + ":" + std::to_string(s.h) + "\n";
    }
    cairo_surface_mark_dirty(surf);
    // Cairo writes straight (non-premultiplied) alpha into the PNG file.
    std::string png = dir + "/" + base + ".png";
    if (cairo_surface_write_to_png(surf, png.c_str()) != CAIRO_STATUS_SUCCESS) {
        std::fprintf(stderr, "art_generator: cannot write %s\n", png.c_str());
        std::exit(1);
    }
    cairo_surface_destroy(surf);
    std::string txt = dir + "/" + base + ".txt";
    FILE* f = std::fopen(txt.c_str(), "wb");
    if (!f || std::fwrite(index.data(), 1, index.size(), f) != index.size()) {
        std::fprintf(stderr, "art_generator: cannot write %s\n", txt.c_str());
        std::exit(1);
    }
    std::fclose(f);
    return atlas;
}

}  // namespace art
