#include "app/ui/atlas.h"

#include <cstdint>

#include "canvas/image.h"
#include "canvas/material.h"
#include "framework/app.h"
#include "host/errors.h"
#include "host/game.h"

namespace {

// The atlas picture's texture flags: linear filtering with mipmaps.
constexpr int ATLAS_IMAGE_FLAGS = 3;
// 4096 x 4096 texels (64 MiB as RGBA): the largest atlas the art tools make. A
// larger one is refused before it is decoded, as an unreadable one would be.
constexpr int64_t kMaxAtlasPixels = int64_t(4096) * 4096;

bool LineHasPrefix(const Char* line, int length, const String& prefix) {
    if (prefix.Length() > length) return false;
    for (int i = 0; i < prefix.Length(); ++i)
        if (line[i] != prefix[i]) return false;
    return true;
}

// Splits one line at ":" into exactly five fields, converting the four numbers.
bool ParseLine(const Char* line, int length, AtlasRect* rect) {
    int starts[5], ends[5];
    int fields = 0;
    starts[0] = 0;
    for (int i = 0; i <= length; ++i) {
        if (i < length && line[i] != u':') continue;
        if (fields == 5) return false;
        ends[fields++] = i;
        if (i < length) {
            if (fields == 5) return false;
            starts[fields] = i + 1;
        }
    }
    if (fields != 5) return false;
    int values[4];
    for (int f = 1; f < 5; ++f) values[f - 1] = String(line + starts[f], ends[f] - starts[f]).ToInt();
    rect->x = values[0];
    rect->y = values[1];
    rect->width = values[2];
    rect->height = values[3];
    return true;
}

bool InsidePicture(const AtlasRect& r, const c_Image2* atlas) {
    return r.x >= 0 && r.y >= 0 && r.width > 0 && r.height > 0 &&
           static_cast<int64_t>(r.x) + r.width <= atlas->Width() &&
           static_cast<int64_t>(r.y) + r.height <= atlas->Height();
}

String Quoted(const String& text) { return String("\"") + text + String("\""); }

}  // namespace

bool FindAtlasRect(const String& index, const String& name, AtlasRect* rect) {
    const Char* text = index.Data();
    int length = index.Length();
    for (int start = 0; start <= length;) {
        int end = start;
        while (end < length && text[end] != u'\n') ++end;
        if (LineHasPrefix(text + start, end - start, name) && ParseLine(text + start, end - start, rect)) return true;
        start = end + 1;
    }
    return false;
}

c_Image2* AtlasImage(c_Image2* atlas, const String& index, const String& name) {
    AtlasRect r;
    if (!atlas || !FindAtlasRect(index, name, &r) || !InsidePicture(r, atlas)) return nullptr;
    return new c_Image2(atlas, r.x, r.y, r.width, r.height, 0.5f, 0.5f);
}

Atlas LoadAtlas(const char* name) {
    Atlas atlas;
    atlas.name = String(name);
    String picture = atlas.name + String(".png");
    String index = atlas.name + String(".txt");
    atlas.picture = c_Image2::Load(String("ravlen://data/") + picture, 0.5f, 0.5f, ATLAS_IMAGE_FLAGS, nullptr,
                                    kMaxAtlasPixels);
    if (!atlas.picture)
        RuntimeError(String("Cannot load the atlas picture ") + Quoted(picture) +
                     String(" from the data folder: the file is missing or is not a picture"));
    atlas.index = theHost->LoadText(String("ravlen://data/") + index);
    if (atlas.index.IsEmpty())
        RuntimeError(String("Cannot load the atlas index ") + Quoted(index) +
                     String(" from the data folder: the file is missing or empty"));
    return atlas;
}

c_Image2* CutSprite(const Atlas& atlas, const String& key) {
    String index = atlas.name + String(".txt");
    AtlasRect r;
    if (!FindAtlasRect(atlas.index, key, &r))
        RuntimeError(String("The sprite ") + Quoted(key) + String(" is missing from the atlas index ") +
                     Quoted(index));
    if (!InsidePicture(r, atlas.picture))
        RuntimeError(String("The sprite ") + Quoted(key) + String(" of the atlas index ") + Quoted(index) +
                     String(" is not an area inside its picture (") + String(r.x) + String(", ") + String(r.y) +
                     String(", ") + String(r.width) + String(" x ") + String(r.height) + String(" in ") +
                     String(atlas.picture->Width()) + String(" x ") + String(atlas.picture->Height()) +
                     String(")"));
    return new c_Image2(atlas.picture, r.x, r.y, r.width, r.height, 0.5f, 0.5f);
}

void CloseAtlas(Atlas& atlas) {
    atlas.picture->Discard();
    atlas.picture = nullptr;
    atlas.index = String();
}
