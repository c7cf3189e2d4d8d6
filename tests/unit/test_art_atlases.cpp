// The generated atlases and font pictures: every key of the catalogue where the
// application looks for it, sane rectangles, steps that move, halves that meet
// their mirror, and output that is the same on every run and matches data/.
#include <gtest/gtest.h>

#include "app/face/face.h"
#include "app/face/pose_pictures.h"
#include "app/face/tongue_handles.h"
#include "canvas/font_characters.h"

#define STB_IMAGE_IMPLEMENTATION
#include <stb/stb_image.h>

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

std::vector<std::string> split(const std::string& s, char sep) {
    std::vector<std::string> out;
    std::string cur;
    for (char c : s) {
        if (c == sep) {
            out.push_back(cur);
            cur.clear();
        } else {
            cur += c;
        }
    }
    out.push_back(cur);
    return out;
}

std::string makeTempDir() {
    char tmpl[] = "/tmp/grimalou_art_XXXXXX";
    const char* d = mkdtemp(tmpl);
    return d ? d : "";
}

std::string runGenerator() {
    std::string dir = makeTempDir();
    std::string cmd = std::string(ART_GENERATOR) + " " + dir + "/data " + dir + "/docs";
    int rc = std::system(cmd.c_str());
    EXPECT_EQ(rc, 0) << cmd;
    return dir;
}

std::vector<std::string> listDir(const std::string& dir) {
    std::vector<std::string> names;
    if (DIR* d = opendir(dir.c_str())) {
        while (dirent* e = readdir(d))
            if (e->d_name[0] != '.') names.push_back(e->d_name);
        closedir(d);
    }
    std::sort(names.begin(), names.end());
    return names;
}

struct Picture {
    int w = 0, h = 0;
    std::vector<unsigned char> rgba;
    unsigned alpha(int x, int y) const { return rgba[(size_t)(y * w + x) * 4 + 3]; }
};

Picture loadPicture(const std::string& path) {
    Picture p;
    int n = 0;
    unsigned char* data = stbi_load(path.c_str(), &p.w, &p.h, &n, 4);
    if (!data) return p;
    p.rgba.assign(data, data + (size_t)p.w * p.h * 4);
    stbi_image_free(data);
    return p;
}

struct Rect {
    int x = 0, y = 0, w = 0, h = 0;
};

// The application's lookup: the first line that begins with the key and has
// exactly five ':'-separated fields. Returns that line's first field too.
bool lookup(const std::string& index, const std::string& key, Rect& r, std::string& field) {
    for (const std::string& line : split(index, '\n')) {
        if (line.compare(0, key.size(), key) != 0) continue;
        std::vector<std::string> f = split(line, ':');
        if (f.size() != 5) continue;
        r = Rect{std::atoi(f[1].c_str()), std::atoi(f[2].c_str()), std::atoi(f[3].c_str()),
                 std::atoi(f[4].c_str())};
        field = f[0];
        return true;
    }
    return false;
}

std::string fmt(const char* f, int a, int b = 0) {
    char buf[64];
    std::snprintf(buf, sizeof buf, f, a, b);
    return buf;
}

// A sprite cut out of its atlas, or an empty picture if the key is missing.
Picture cutOut(const std::string& index, const Picture& atlas, const std::string& key) {
    Rect r;
    std::string field;
    Picture p;
    if (!lookup(index, key, r, field)) return p;
    p.w = r.w;
    p.h = r.h;
    for (int y = 0; y < r.h; ++y)
        for (int x = 0; x < r.w; ++x)
            for (int c = 0; c < 4; ++c) p.rgba.push_back(atlas.rgba[((size_t)(r.y + y) * atlas.w + r.x + x) * 4 + c]);
    return p;
}

// ---------------------------------------------------------------- catalogue
std::vector<std::string> characterKeys() { return {"visage1.png", "path5081.png", "g4534.png", "g4528.png"}; }
std::vector<std::string> titleKeys() { return {"fille.png", "gars.png", "titre.png"}; }

std::vector<std::string> smile(const char* suffix) {
    std::vector<std::string> k;
    for (int n = 1; n <= 4; ++n)
        for (int s = 1; s <= 7; ++s) k.push_back(fmt("sourire%d_0%d", n, s) + suffix);
    return k;
}
std::vector<std::string> cornerSmile() {
    std::vector<std::string> k;
    for (int s = 1; s <= 7; ++s) k.push_back(fmt("sourire2_0%dd.png", s));
    return k;
}
std::vector<std::string> lipsFront(char layer) {
    std::vector<std::string> k;
    for (int base : {4930, 5930})
        for (int s = 0; s < 7; ++s) k.push_back(fmt("path%d", base + s) + layer + ".png");
    return k;
}
std::vector<std::string> lipsBack() {
    return {"path4882.png", "path4890.png", "path4898.png", "path4906.png", "path4914.png",
            "path4922.png", "path4930.png", "path5245.png", "path5233.png", "path5221.png",
            "path5209.png", "path5196.png", "path5184.png", "path5171.png"};
}
std::vector<std::string> teeth() {
    std::vector<std::string> k;
    for (int n = 1; n <= 2; ++n)
        for (int s = 1; s <= 7; ++s) k.push_back(fmt("dents%d_0%d.png", n, s));
    return k;
}
std::vector<std::string> tongue() {
    std::vector<std::string> k;
    for (int n = 1; n <= 8; ++n)
        for (int s = 1; s <= 5; ++s) k.push_back(fmt("langue%d_0%d.png", n, s));
    return k;
}
std::vector<std::string> sharedKeys() {
    std::vector<std::string> all;
    for (auto v : {smile(".png"), smile("b.png"), smile("c.png"), cornerSmile(), lipsFront('a'),
                   lipsFront('b'), lipsBack(), teeth(), tongue()})
        all.insert(all.end(), v.begin(), v.end());
    for (const char* k : {"culdepoule.png", "joues1.png", "joues2.png", "joues3.png", "joues4.png",
                          "joues5.png", "enrond.png", "langue0.png", "path5082.png", "carre_rose.png",
                          "boutdevisage1.png", "boutdevisage2.png", "rec.png", "boutonmenu1.png",
                          "boutonmenu2.png", "rect4609", "rect4621", "rect4622", "rect4607",
                          "rect4608", "boutonrnd", "boutonrec1.png", "boutonrec2.png",
                          "boutonplay1.png", "boutonplay2.png"})
        all.push_back(k);
    return all;
}
std::vector<std::string> programKeys() {
    std::vector<std::string> keys = {"boutonmaison.png", "boutonsauver.png", "boutonbiblio.png", "boutonaide.png"};
    for (int step = 1; step <= JAW_OPEN_LAST; ++step) {
        keys.push_back(fmt(kOpenMouthBack, step));
        keys.push_back(fmt(kOpenMouthTeeth, step));
        for (int place = 0; place < OPEN_TONGUE_PLACES; ++place) keys.push_back(fmt(kOpenMouthTongue, step, place));
    }
    for (int step = 1; step <= -JAW_PRESSED_LAST; ++step) keys.push_back(fmt(kPressedLips, step));
    for (int k = 1; k <= 7; ++k) keys.push_back(fmt(kCornerMouth, k));
    for (int n = 1; n <= 4; ++n) keys.push_back(fmt(kCornerTongue, n));
    for (int i = 0; i < 10; ++i) keys.push_back(fmt(kHeldTongue, i / 5, i % 5));
    keys.push_back(kPuffedCheek);
    keys.push_back(kSmileMiddle);
    return keys;
}

// ---------------------------------------------------------------- fixture
class Art : public ::testing::Test {
protected:
    static std::string out;  // one generator run shared by the tests
    struct AtlasData {
        std::string index;
        Picture pic;
    };
    static std::map<std::string, AtlasData>* atlases;

    static void SetUpTestSuite() {
        out = runGenerator();
        atlases = new std::map<std::string, AtlasData>;
        for (const char* a : {"images1a", "images1b", "images2", "images3", "images4"})
            (*atlases)[a] = AtlasData{readFile(out + "/data/" + a + ".txt"),
                                      loadPicture(out + "/data/" + a + ".png")};
    }
    static void TearDownTestSuite() {
        delete atlases;
        std::system(("rm -rf " + out).c_str());
    }

    static const AtlasData& atlas(const std::string& name) { return atlases->at(name); }

    static Picture sprite(const std::string& atlasName, const std::string& key) {
        return cutOut(atlas(atlasName).index, atlas(atlasName).pic, key);
    }
};
std::string Art::out;
std::map<std::string, Art::AtlasData>* Art::atlases = nullptr;

TEST_F(Art, EveryCatalogueKeyIsFoundAsItselfInItsAtlas) {
    const std::map<std::string, std::vector<std::string>> expected = {
        {"images1a", characterKeys()}, {"images1b", characterKeys()},
        {"images2", sharedKeys()},     {"images3", titleKeys()},
        {"images4", programKeys()}};
    for (auto& [name, keys] : expected) {
        const AtlasData& a = atlas(name);
        ASSERT_GT(a.pic.w, 0) << name << ".png does not decode";
        EXPECT_LE(a.pic.w, 4096);
        EXPECT_LE(a.pic.h, 4096);
        std::set<std::string> seen;
        for (const std::string& k : keys) {
            Rect r;
            std::string field;
            ASSERT_TRUE(lookup(a.index, k, r, field)) << k << " missing from " << name;
            // A key shadowed by an earlier line that it prefixes would find that line.
            EXPECT_EQ(field, k) << k << " in " << name;
            EXPECT_TRUE(seen.insert(k).second) << k << " listed twice";
        }
        EXPECT_EQ(split(a.index, '\n').size(), keys.size() + 1) << name << " holds sprites outside the catalogue";
    }
    // The two children share their keys, and their pictures differ.
    EXPECT_NE(sprite("images1a", "visage1.png").rgba, sprite("images1b", "visage1.png").rgba);
    EXPECT_NE(sprite("images1a", "path5081.png").rgba, sprite("images1b", "path5081.png").rgba);
}

TEST_F(Art, RectanglesLieInsideTheirPictureAndApart) {
    for (auto& [name, a] : *atlases) {
        std::vector<std::pair<std::string, Rect>> rects;
        for (const std::string& line : split(a.index, '\n')) {
            if (line.empty()) continue;
            std::vector<std::string> f = split(line, ':');
            ASSERT_EQ(f.size(), 5u) << line;
            Rect r{std::atoi(f[1].c_str()), std::atoi(f[2].c_str()), std::atoi(f[3].c_str()),
                   std::atoi(f[4].c_str())};
            EXPECT_GE(r.x, 0) << line;
            EXPECT_GE(r.y, 0) << line;
            EXPECT_GT(r.w, 0) << line;
            EXPECT_GT(r.h, 0) << line;
            EXPECT_LE(r.x + r.w, a.pic.w) << line;
            EXPECT_LE(r.y + r.h, a.pic.h) << line;
            rects.push_back({f[0], r});
        }
        for (size_t i = 0; i < rects.size(); ++i)
            for (size_t j = i + 1; j < rects.size(); ++j) {
                const Rect &p = rects[i].second, &q = rects[j].second;
                bool apart = p.x + p.w <= q.x || q.x + q.w <= p.x || p.y + p.h <= q.y || q.y + q.h <= p.y;
                EXPECT_TRUE(apart) << rects[i].first << " overlaps " << rects[j].first;
            }
    }
}

// Halves of the mouth: drawn from the centre line, so their left column is the seam.
bool isHalf(const std::string& k) {
    for (const char* p : {"sourire", "path49", "path59", "path48", "path52", "path51", "dents",
                          "enrond", "culdepoule", "joues1", "joues3", "joues4", "joues5", "carre_rose"})
        if (k.rfind(p, 0) == 0) return true;
    return false;
}

TEST_F(Art, PicturesKeepATransparentBorder) {
    for (auto& [name, a] : *atlases)
        for (const std::string& line : split(a.index, '\n')) {
            if (line.empty()) continue;
            std::string key = split(line, ':')[0];
            Picture p = sprite(name, key);
            bool half = isHalf(key);
            int opaqueBorder = 0, opaqueInside = 0;
            for (int y = 0; y < p.h; ++y)
                for (int x = 0; x < p.w; ++x) {
                    bool border = y < 2 || y >= p.h - 2 || x >= p.w - 2 || (!half && x < 2);
                    (border ? opaqueBorder : opaqueInside) += p.alpha(x, y) != 0;
                }
            EXPECT_EQ(opaqueBorder, 0) << key << " in " << name;
            EXPECT_GT(opaqueInside, 0) << key << " in " << name << " is empty";
        }
}

// Number of texels that differ clearly between two pictures of equal size
// (different sizes count as different pictures).
int difference(const Picture& a, const Picture& b) {
    if (a.w != b.w || a.h != b.h) return 1 << 30;
    int n = 0;
    for (size_t i = 0; i < a.rgba.size(); i += 4) {
        int d = 0;
        for (int c = 0; c < 4; ++c) d = std::max(d, std::abs(a.rgba[i + c] - b.rgba[i + c]));
        n += d > 40;
    }
    return n;
}

TEST_F(Art, NeighbouringStepsOfEveryMovementDiffer) {
    std::vector<std::pair<std::string, std::vector<std::string>>> moves;
    for (const char* chr : {"images1a", "images1b"})
        moves.push_back({chr, {"path5081.png", "g4534.png", "g4528.png"}});
    auto rows = [&](std::vector<std::string> keys, int rowLen) {
        for (size_t r = 0; r < keys.size() / rowLen; ++r)
            moves.push_back({"images2", std::vector<std::string>(keys.begin() + r * rowLen,
                                                                 keys.begin() + (r + 1) * rowLen)});
        // Between rows at the same step.
        for (int s = 0; s < rowLen; ++s) {
            std::vector<std::string> col;
            for (size_t r = 0; r < keys.size() / rowLen; ++r) col.push_back(keys[r * rowLen + s]);
            moves.push_back({"images2", col});
        }
    };
    rows(smile(".png"), 7);
    rows(smile("b.png"), 7);
    rows(smile("c.png"), 7);
    rows(cornerSmile(), 7);
    rows(lipsFront('a'), 7);
    rows(lipsFront('b'), 7);
    rows(lipsBack(), 7);
    rows(teeth(), 7);
    rows(tongue(), 5);
    for (auto& [name, keys] : moves)
        for (size_t i = 0; i + 1 < keys.size(); ++i) {
            Picture a = sprite(name, keys[i]), b = sprite(name, keys[i + 1]);
            ASSERT_GT(a.w, 0) << keys[i];
            ASSERT_GT(b.w, 0) << keys[i + 1];
            EXPECT_GT(difference(a, b), 30) << keys[i] << " and " << keys[i + 1] << " look the same";
        }
}

// First and last opaque row of a picture's column `x` (the left one by
// default), relative to its anchor.
bool centreSpan(const Picture& p, double anchorY, double& top, double& bottom, int x = 0) {
    int first = -1, last = -1;
    for (int y = 0; y < p.h; ++y)
        if (p.alpha(x, y) > 128) {
            if (first < 0) first = y;
            last = y;
        }
    top = first - anchorY;
    bottom = last - anchorY;
    return first >= 0;
}

TEST_F(Art, RightHalvesReachTheCentreLine) {
    std::vector<std::string> keys;
    for (auto v : {smile(".png"), cornerSmile(), lipsFront('a'), lipsBack(), teeth()})
        keys.insert(keys.end(), v.begin(), v.end());
    // The open mouths the tongue does not pass through (the standing rows
    // with the tongue down, the hanging rows with it up); the others leave a
    // window for it at the centre line.
    std::vector<std::string> up = smile("b.png"), down = smile("c.png");
    keys.insert(keys.end(), up.begin() + 14, up.end());
    keys.insert(keys.end(), down.begin(), down.begin() + 14);
    for (const char* k : {"enrond.png", "culdepoule.png", "joues1.png", "joues3.png", "joues4.png", "joues5.png"})
        keys.push_back(k);
    for (const std::string& k : keys) {
        Picture p = sprite("images2", k);
        double top, bottom;
        EXPECT_TRUE(centreSpan(p, 0, top, bottom)) << k << " leaves a gap at the centre line";
    }
    // The closed smiling mouth crosses the centre line at the same height in
    // every row and step, so that halves in different rows still meet.
    std::vector<std::string> closed = smile(".png");
    std::vector<std::string> corner = cornerSmile();
    closed.insert(closed.end(), corner.begin(), corner.end());
    double refTop = 0, refBottom = 0;
    for (size_t i = 0; i < closed.size(); ++i) {
        Picture p = sprite("images2", closed[i]);
        bool hanging = i >= 14 && i < 28;  // rows 3 and 4: anchor 9.9 below the top
        double top, bottom;
        ASSERT_TRUE(centreSpan(p, hanging ? 9.9 : p.h, top, bottom)) << closed[i];
        if (i == 0) {
            refTop = top;
            refBottom = bottom;
        }
        EXPECT_NEAR(top, refTop, 1.0) << closed[i];
        EXPECT_NEAR(bottom, refBottom, 1.0) << closed[i];
    }
    // Every rendering of the smiling mouth has the same cross-section near the
    // centre line in all the rows and steps that open the same way (the
    // standing rows 1 and 2, the hanging rows 3 and 4), so that a right half
    // in one row meets a left half in another as it meets its own.
    for (const char* suffix : {".png", "b.png", "c.png"}) {
        const std::vector<std::string> keys = smile(suffix);
        for (int hanging = 0; hanging < 2; ++hanging)
            for (int x = 0; x < 5; ++x) {
                bool refInk = false;
                double refTop = 0, refBottom = 0;
                for (int i = 14 * hanging; i < 14 * hanging + 14; ++i) {
                    Picture p = sprite("images2", keys[i]);
                    double top, bottom;
                    const bool ink = centreSpan(p, hanging ? 9.9 : p.h, top, bottom, x);
                    if (i == 14 * hanging) {
                        refInk = ink;
                        refTop = top;
                        refBottom = bottom;
                        continue;
                    }
                    ASSERT_EQ(ink, refInk) << keys[i] << " column " << x;
                    if (!ink) continue;
                    EXPECT_NEAR(top, refTop, 1.0) << keys[i] << " column " << x;
                    EXPECT_NEAR(bottom, refBottom, 1.0) << keys[i] << " column " << x;
                }
            }
    }
    // Both pairs of cheek mouths meet each other.
    for (auto pair : {std::make_pair("joues1.png", "joues3.png"), std::make_pair("joues4.png", "joues5.png")}) {
        Picture a = sprite("images2", pair.first), b = sprite("images2", pair.second);
        double hy = std::string(pair.first) == "joues1.png" ? 0.6 : 0.25;
        double hy2 = std::string(pair.first) == "joues1.png" ? 0.6 : 0.54;
        double at, ab, bt, bb;
        ASSERT_TRUE(centreSpan(a, hy * a.h, at, ab));
        ASSERT_TRUE(centreSpan(b, hy2 * b.h, bt, bb));
        EXPECT_NEAR(at, bt, 1.5) << pair.first << " / " << pair.second;
        EXPECT_NEAR(ab, bb, 1.5) << pair.first << " / " << pair.second;
    }
}

// The face screen lines its round buttons up by their middles: every button
// picture is one size, with one size of disc drawn in it.
TEST_F(Art, RoundButtonsAreAllOneSize) {
    int w = 0, h = 0, discW = 0, discH = 0;
    for (const char* k : {"boutonmenu1.png", "boutonmenu2.png", "rect4609", "rect4621", "rect4622", "rect4607",
                          "rect4608", "boutonrnd", "boutonrec1.png", "boutonrec2.png", "boutonplay1.png",
                          "boutonplay2.png", "boutonmaison.png", "boutonsauver.png", "boutonbiblio.png",
                          "boutonaide.png"}) {
        const std::vector<std::string> own = programKeys();
        const Picture p = sprite(std::count(own.begin(), own.end(), k) ? "images4" : "images2", k);
        int x0 = p.w, x1 = -1, y0 = p.h, y1 = -1;
        for (int y = 0; y < p.h; ++y)
            for (int x = 0; x < p.w; ++x)
                if (p.alpha(x, y) > 128) x0 = std::min(x0, x), x1 = std::max(x1, x), y0 = std::min(y0, y), y1 = std::max(y1, y);
        if (!w) w = p.w, h = p.h, discW = x1 - x0, discH = y1 - y0;
        EXPECT_EQ(p.w, w) << k;
        EXPECT_EQ(p.h, h) << k;
        EXPECT_NEAR(x1 - x0, discW, 1) << k;
        EXPECT_NEAR(y1 - y0, discH, 1) << k;
    }
}

TEST_F(Art, TheFacePictureHasTheLayoutOfTheParts) {
    Picture face = sprite("images1a", "visage1.png");
    EXPECT_EQ(face.w, 784);
    EXPECT_LE(face.h, 800);
    // Plain skin where the eyes and the mouth are drawn on top.
    for (auto xy : {std::make_pair(490, 358), std::make_pair(294, 358), std::make_pair(392, 506)}) {
        const unsigned char* px = &face.rgba[((size_t)xy.second * face.w + xy.first) * 4];
        EXPECT_EQ(px[3], 255);
        EXPECT_NEAR(px[0], 0xF7, 12) << xy.first << "," << xy.second;
        EXPECT_NEAR(px[1], 0xCD, 12) << xy.first << "," << xy.second;
    }
}

TEST_F(Art, FontPicturesHoldNinetySixCellsWithTheirBorders) {
    Picture bordered = loadPicture(out + "/data/vexa2_font.png");
    Picture framed = loadPicture(out + "/data/vexa_font.png");
    ASSERT_GT(bordered.w, 0);
    ASSERT_GT(framed.w, 0);
    // The canvas font is mipmapped: both sides powers of two keep the
    // software renderer to one mipmap program.
    EXPECT_EQ(bordered.w & (bordered.w - 1), 0);
    EXPECT_EQ(bordered.h & (bordered.h - 1), 0);
    for (const Picture* p : {&bordered, &framed}) {
        // Cells of width / 96 (integer division); the columns beyond the
        // last cell stay empty.
        const int cw = p->w / 96;
        for (int y = 0; y < p->h; ++y)
            for (int x = 96 * cw; x < p->w; ++x) ASSERT_EQ(p->alpha(x, y), 0u) << "beyond the last cell";
        const bool allSides = p == &bordered;
        for (int i = 0; i < 96; ++i) {
            int ink = 0, border = 0;
            for (int y = 0; y < p->h; ++y)
                for (int x = 0; x < cw; ++x) {
                    unsigned a = p->alpha(i * cw + x, y);
                    bool edge = x == 0 || x == cw - 1 || (allSides && (y == 0 || y == p->h - 1));
                    (edge ? border : ink) += a != 0;
                    if (a) {
                        EXPECT_EQ(p->rgba[((size_t)y * p->w + i * cw + x) * 4], 255) << "glyphs are white";
                    }
                }
            EXPECT_EQ(border, 0) << "cell " << i;
            if (i == 0 || i == 95) {
                EXPECT_EQ(ink, 0) << "space and DEL stay empty";
            } else {
                EXPECT_GT(ink, 0) << "character " << (char)(32 + i) << " has no glyph";
            }
        }
    }
    // Distinct characters get distinct glyphs ('0' and 'O', 'l' and '1').
    auto cell = [&](char ch) {
        Picture c;
        const int cw = bordered.w / 96;
        c.w = cw;
        c.h = bordered.h;
        for (int y = 0; y < c.h; ++y)
            for (int x = 0; x < cw; ++x)
                for (int k = 0; k < 4; ++k)
                    c.rgba.push_back(bordered.rgba[((size_t)y * bordered.w + (ch - 32) * cw + x) * 4 + k]);
        return c;
    };
    EXPECT_GT(difference(cell('0'), cell('O')), 5);
    EXPECT_GT(difference(cell('l'), cell('1')), 5);
}

// The canvas font's further characters: cells of the canvas font's size in a
// picture of power-of-two sides, borders left empty, ink in every cell but the
// two spaces', and every accent whole above its letter: an accented letter
// has ink higher up than its plain letter in the first picture, and none at
// the glyph area's edge where it would have been cut.
TEST_F(Art, TheFurtherCharactersHaveTheirAccents) {
    Picture plain = loadPicture(out + "/data/vexa2_font.png");
    Picture more = loadPicture(out + "/data/vexa2_font_more.png");
    ASSERT_GT(more.w, 0);
    EXPECT_EQ(more.w & (more.w - 1), 0);
    EXPECT_EQ(more.h, plain.h);
    const int cw = plain.w / 96;
    // The topmost row with ink in a cell, or the picture's height.
    auto top = [cw](const Picture& p, int cell) {
        for (int y = 0; y < p.h; ++y)
            for (int x = 1; x < cw - 1; ++x)
                if (p.alpha(cell * cw + x, y)) return y;
        return p.h;
    };
    auto index = [](char16_t c) {
        for (int i = 0; i < kMoreFontCharacterCount; ++i)
            if (kMoreFontCharacters[i] == c) return i;
        return -1;
    };
    for (int i = 0; i < kMoreFontCharacterCount; ++i) {
        const char16_t c = kMoreFontCharacters[i];
        const bool blank = c == 0x202F || c == 0xA0;
        EXPECT_EQ(top(more, i) == more.h, blank) << "cell " << i;
        for (int y = 0; y < more.h; ++y) {
            ASSERT_EQ(more.alpha(i * cw, y), 0u) << "cell " << i;
            ASSERT_EQ(more.alpha(i * cw + cw - 1, y), 0u) << "cell " << i;
        }
        // Nothing reaches the glyph area's top or bottom row: no accent was
        // cut off there.
        for (int y : {0, 1, more.h - 2, more.h - 1})
            for (int x = 0; x < cw; ++x) ASSERT_EQ(more.alpha(i * cw + x, y), 0u) << "cell " << i << " row " << y;
    }
    const std::pair<char16_t, char> accented[] = {{u'é', 'e'}, {u'à', 'a'}, {u'ô', 'o'}, {u'ÿ', 'y'}, {u'É', 'E'},
                                                  {u'À', 'A'}, {u'Î', 'I'}, {u'Ô', 'O'}, {u'Ÿ', 'Y'}, {u'Ü', 'U'}};
    for (auto [letter, base] : accented) {
        ASSERT_GE(index(letter), 0);
        EXPECT_LT(top(more, index(letter)), top(plain, base - 32) - 1) << base;
    }
}

TEST_F(Art, TwoRunsWriteTheSameBytes) {
    std::string again = runGenerator();
    for (const char* sub : {"/data", "/docs"}) {
        std::vector<std::string> first = listDir(out + sub), second = listDir(again + sub);
        EXPECT_EQ(first, second);
        EXPECT_FALSE(first.empty());
        for (const std::string& f : first)
            EXPECT_TRUE(readFile(out + sub + "/" + f) == readFile(again + sub + "/" + f)) << f << " differs";
    }
    std::system(("rm -rf " + again).c_str());
}

TEST_F(Art, CommittedDataMatchesAFreshRun) {
    const char* src = std::getenv("GRIMALOU_SOURCE_DIR");
    ASSERT_NE(src, nullptr);
    for (const std::string& f : listDir(out + "/data")) {
        std::string committed = std::string(src) + "/data/" + f, fresh = out + "/data/" + f;
        if (f.size() > 4 && f.compare(f.size() - 4, 4, ".txt") == 0) {
            EXPECT_EQ(readFile(committed), readFile(fresh)) << f << ": run `make art` and commit";
        } else {
            Picture a = loadPicture(committed), b = loadPicture(fresh);
            ASSERT_GT(a.w, 0) << committed << " missing: run `make art` and commit";
            EXPECT_EQ(difference(a, b), 0) << f << ": run `make art` and commit";
        }
    }
}


// ---------------------------------------------------------------- the composed mouth
// The smiling mouth as the face screen layers it, composed from the committed
// atlases: pictures premultiplied when loaded, drawn at their handles, left
// halves mirrored, sampled bilinearly and blended over the face.
struct Tex {
    int w = 0, h = 0;
    double hx = 0, hy = 0;
    std::vector<float> px;  // premultiplied RGBA, 0..255
    float texel(int x, int y, int c) const {
        return x < 0 || y < 0 || x >= w || y >= h ? 0.f : px[((size_t)y * w + x) * 4 + c];
    }
};

Tex premultiplied(const Picture& p, double hx, double hy) {
    Tex t;
    t.w = p.w;
    t.h = p.h;
    t.hx = hx;
    t.hy = hy;
    for (size_t i = 0; i < p.rgba.size(); i += 4) {
        float a = p.rgba[i + 3] / 255.f;
        for (int c = 0; c < 3; ++c) t.px.push_back(p.rgba[i + c] * a);
        t.px.push_back(p.rgba[i + 3]);
    }
    return t;
}

// A window of the screen around the mouth. `ink` marks the pixels that a
// mouth or tongue picture draws on, `open` those an open-mouth picture covers
// wholly (not the filtered rim of its edges).
struct Shot {
    static constexpr int kW = 260, kH = 240;
    int x0 = 0, y0 = 0;
    std::vector<float> rgb = std::vector<float>(kW * kH * 3, 0.f);
    std::vector<char> ink = std::vector<char>(kW * kH, 0), open = std::vector<char>(kW * kH, 0);
    bool inside(int x, int y) const { return x >= x0 && y >= y0 && x < x0 + kW && y < y0 + kH; }
    size_t at(int x, int y) const { return (size_t)(y - y0) * kW + (x - x0); }
    const float* colour(int x, int y) const { return &rgb[at(x, y) * 3]; }
};

enum class Layer { Face, Pink, Mouth, Open };

// A scissor box in screen pixels.
struct Box {
    int x, y, w, h;
    bool holds(int px, int py) const { return px >= x && py >= y && px < x + w && py < y + h; }
};

void draw(Shot& s, const Tex& t, double x, double y, double sx, Layer layer, const Box* clip = nullptr) {
    const double left = sx > 0 ? x - t.hx * t.w : x - (1 - t.hx) * t.w, top = y - t.hy * t.h;
    for (int py = (int)std::floor(top) - 1; py <= (int)std::ceil(top + t.h) + 1; ++py)
        for (int px = (int)std::floor(left) - 1; px <= (int)std::ceil(left + t.w) + 1; ++px) {
            if (!s.inside(px, py) || (clip && !clip->holds(px, py))) continue;
            const double u = (px + 0.5 - x) * sx + t.hx * t.w - 0.5, v = py + 0.5 - y + t.hy * t.h - 0.5;
            const int i = (int)std::floor(u), j = (int)std::floor(v);
            const float fx = (float)(u - i), fy = (float)(v - j);
            float c[4];
            for (int k = 0; k < 4; ++k)
                c[k] = (t.texel(i, j, k) * (1 - fx) + t.texel(i + 1, j, k) * fx) * (1 - fy) +
                       (t.texel(i, j + 1, k) * (1 - fx) + t.texel(i + 1, j + 1, k) * fx) * fy;
            if (c[3] <= 0.5f) continue;
            float* d = &s.rgb[s.at(px, py) * 3];
            for (int k = 0; k < 3; ++k) d[k] = c[k] + d[k] * (1 - c[3] / 255.f);
            if (layer == Layer::Mouth || layer == Layer::Open) s.ink[s.at(px, py)] = 1;
            if (layer == Layer::Open && c[3] >= 254.5f) s.open[s.at(px, py)] = 1;
        }
}

float distance(const float* a, const float* b) {
    return std::max({std::fabs(a[0] - b[0]), std::fabs(a[1] - b[1]), std::fabs(a[2] - b[2])});
}

// The tongue's state after stepping it sideways from the centre, one step at a
// time as the drag does; `width` is the width of the mouth half it moves over.
struct TonguePlace {
    double x = 392;
    int variant = 0;
    bool unmirrored = true;
};
TonguePlace stepTongue(int shift, int width, bool unmirroredAtCentre) {
    TonguePlace t;
    t.unmirrored = unmirroredAtCentre;
    for (int at = 0; at != shift;) {
        const int d = shift > at ? 1 : -1;
        at += d;
        t.variant = std::abs(at);
        t.x += d * (width / 5);
        t.unmirrored = at >= 0;
        if (d > 0 && t.x > 392 + width - 30) t.x = 392 + width - 30;
        if (d < 0 && t.x < 394 - width + 30) t.x = 394 - width + 30;
        if (t.variant == 0) t.x = 392;
    }
    return t;
}

class ComposedMouth : public ::testing::Test {
protected:
    struct Pictures {
        Tex face, pink;
        Tex closed[35], up[28], down[28], tongue[41];
        Tex lipsFront[14], lipsBack[14], lipsUpper[14], teeth[14];
        // The jaw's poses, from the program's own atlas.
        Tex openBack[JAW_OPEN_LAST], openTeeth[JAW_OPEN_LAST], openTongue[JAW_OPEN_LAST * OPEN_TONGUE_PLACES];
        Tex pressed[-JAW_PRESSED_LAST];
        Tex cornerMouth[7], cornerTongue[4], held[10], middle;
        double faceX = 0, faceY = 0;
        Shot bare;  // the face alone
    };
    static Pictures* pics;

    static void SetUpTestSuite() {
        const char* src = std::getenv("GRIMALOU_SOURCE_DIR");
        ASSERT_NE(src, nullptr);
        const std::string dir = std::string(src) + "/data/";
        const std::string index = readFile(dir + "images2.txt"), faceIndex = readFile(dir + "images1a.txt");
        const Picture atlas = loadPicture(dir + "images2.png"), faceAtlas = loadPicture(dir + "images1a.png");
        pics = new Pictures;
        Picture face = cutOut(faceIndex, faceAtlas, "visage1.png");
        pics->face = premultiplied(face, 0.5, 0.5);
        pics->faceX = (1280 - face.w) * 0.5;
        pics->faceY = (800 - face.h) * 0.5;
        pics->bare.x0 = 392 + (int)pics->faceX - Shot::kW / 2;
        pics->bare.y0 = 506 + (int)pics->faceY - 130;
        draw(pics->bare, pics->face, 640, 400, 1, Layer::Face);
        pics->pink = premultiplied(cutOut(index, atlas, "carre_rose.png"), 0, 0);
        for (int i = 0; i < 28; ++i) {
            Picture closed = cutOut(index, atlas, fmt("sourire%d_0%d.png", i / 7 + 1, i % 7 + 1));
            // Rows 1 and 2 stand on their anchor; rows 3 and 4 hang 9.9 below their top.
            const double hy = i < 14 ? 1 : 9.9 / closed.h;
            pics->closed[i] = premultiplied(closed, 0, hy);
            pics->up[i] = premultiplied(cutOut(index, atlas, fmt("sourire%d_0%db.png", i / 7 + 1, i % 7 + 1)), 0, hy);
            pics->down[i] = premultiplied(cutOut(index, atlas, fmt("sourire%d_0%dc.png", i / 7 + 1, i % 7 + 1)), 0, hy);
        }
        for (int k = 0; k < 7; ++k)
            pics->closed[28 + k] = premultiplied(cutOut(index, atlas, fmt("sourire2_0%dd.png", k + 1)), 0, 1);
        for (int i = 0; i < 40; ++i)
            pics->tongue[i] = premultiplied(cutOut(index, atlas, fmt("langue%d_0%d.png", i / 5 + 1, i % 5 + 1)),
                                            kTongueHandleX[i], kTongueHandleY[i]);
        pics->tongue[40] = premultiplied(cutOut(index, atlas, "langue0.png"), 0.5, 0);
        // Lips and teeth: the halves' anchor at the middle of their left edge.
        const std::vector<std::string> front = lipsFront('a'), back = lipsBack(), upper = lipsFront('b'),
                                       grins = teeth();
        for (int i = 0; i < 14; ++i) {
            pics->lipsFront[i] = premultiplied(cutOut(index, atlas, front[i]), 0, 0.5);
            pics->lipsBack[i] = premultiplied(cutOut(index, atlas, back[i]), 0, 0.5);
            pics->lipsUpper[i] = premultiplied(cutOut(index, atlas, upper[i]), 0, 0.5);
            pics->teeth[i] = premultiplied(cutOut(index, atlas, grins[i]), 0, 0.5);
        }
        const std::string ownIndex = readFile(dir + "images4.txt");
        const Picture own = loadPicture(dir + "images4.png");
        auto pose = [&](const std::string& key) {
            return premultiplied(cutOut(ownIndex, own, key), kPoseHandleX, kPoseHandleY);
        };
        for (int step = 1; step <= JAW_OPEN_LAST; ++step) {
            pics->openBack[step - 1] = pose(fmt(kOpenMouthBack, step));
            pics->openTeeth[step - 1] = pose(fmt(kOpenMouthTeeth, step));
            for (int place = 0; place < OPEN_TONGUE_PLACES; ++place)
                pics->openTongue[(step - 1) * OPEN_TONGUE_PLACES + place] = pose(fmt(kOpenMouthTongue, step, place));
        }
        for (int step = 1; step <= -JAW_PRESSED_LAST; ++step) pics->pressed[step - 1] = pose(fmt(kPressedLips, step));
        auto fromTop = [&](const std::string& key, double hx, double top) {
            const Picture picture = cutOut(ownIndex, own, key);
            return premultiplied(picture, hx, top / picture.h);
        };
        for (int k = 0; k < 7; ++k) pics->cornerMouth[k] = fromTop(fmt(kCornerMouth, k + 1), 0, kCornerTop);
        for (int n = 0; n < 4; ++n) pics->cornerTongue[n] = fromTop(fmt(kCornerTongue, n + 1), 0, kCornerTop);
        for (int i = 0; i < 10; ++i) pics->held[i] = fromTop(fmt(kHeldTongue, i / 5, i % 5), 0.5, kHeldTop);
        pics->middle = premultiplied(cutOut(ownIndex, own, kSmileMiddle), kMiddleHandleX, kMiddleHandleY);
    }
    static void TearDownTestSuite() { delete pics; }

    // The face screen with both mouth halves at picture index `i` (row i / 7,
    // step i % 7) and the tongue in (shape < 0) or out at `shift` with shape
    // 0..3 (far up, up, down, far down: the first four rows of tongue pictures).
    static Shot compose(int i, int shape, int shift, bool unmirroredAtCentre) {
        const Pictures& p = *pics;
        Shot s = p.bare;
        const double ax = 392 + p.faceX, ay = 506 + p.faceY;  // right half's anchor; the left one is 2 further
        const bool out = shape >= 0;
        const int frame = 5 * shape;
        const TonguePlace t = stepTongue(out ? shift : 0, p.closed[i].w, unmirroredAtCentre);
        const double ts = t.unmirrored ? 1 : -1;
        if (out && t.variant < 4) draw(s, p.tongue[frame + t.variant], t.x + p.faceX, 504 + p.faceY, ts, Layer::Mouth);
        if (out) {
            // The grab zone of a half placed with its picture: 13 above it, 7 below.
            const double zoneTop = 506 - p.closed[i].hy * p.closed[i].h + (int)p.faceY - 13;
            const double zoneBottom = zoneTop + p.closed[i].h + 20;
            const Tex& open = frame < 10 ? p.up[i] : p.down[i];
            if (std::abs(shift) < 4) {
                draw(s, open, ax, ay, 1, Layer::Open);
                draw(s, open, ax + 2, ay, -1, Layer::Open);
            }
            const double pinkY = frame < 10 ? zoneBottom - 11 : zoneTop - p.pink.h + 17;
            if (frame >= 10 || i < 21) {
                draw(s, p.pink, ax, pinkY, 1, Layer::Pink);
                draw(s, p.pink, ax + 2, pinkY, -1, Layer::Pink);
            }
        }
        // The half at whose corner the tongue is parted round it; the closed
        // halves, alike, with their middle laid once over them.
        const bool corner = out && std::abs(shift) == 4;
        draw(s, shift == 4 && corner ? p.cornerMouth[i % 7] : p.closed[i], ax, ay, 1, Layer::Mouth);
        draw(s, shift == -4 && corner ? p.cornerMouth[i % 7] : p.closed[i], ax + 2, ay, -1, Layer::Mouth);
        if (corner) draw(s, p.cornerTongue[shape], t.x + p.faceX, 504 + p.faceY, ts, Layer::Mouth);
        if (!out) draw(s, p.middle, ax, ay, 1, Layer::Mouth);
        return s;
    }

    // The open mouth at `step` as the face screen layers it: its back, the
    // tongue at `place` (none when < 0), its teeth, and a tongue out of the
    // mouth over them. `layers` of 1 draws the teeth alone, 2 the back alone.
    static Shot composeJaw(int step, int place, int layers = 0) {
        const Pictures& p = *pics;
        Shot s = p.bare;
        const double x = 392 + p.faceX, y = 506 + p.faceY;
        const bool out = place == TONGUE_OUT_OF_MOUTH;
        auto tongue = [&]() {
            if (place >= 0) draw(s, p.openTongue[(step - 1) * OPEN_TONGUE_PLACES + place], x, 504 + p.faceY, 1, Layer::Mouth);
        };
        if (layers != 1) draw(s, p.openBack[step - 1], x, y, 1, Layer::Mouth);
        if (!out && !layers) tongue();
        if (layers != 2) draw(s, p.openTeeth[step - 1], x, y, 1, Layer::Mouth);
        if (out && !layers) tongue();
        return s;
    }

    // Lips (tongue in) and teeth with the right half at picture index i and the
    // left half at j, as the face screen layers them when the halves move alone.
    // Returns the right half's anchor column; the left half's is `offset` further.
    static Shot composeHalves(bool lips, int i, int j, int& ax, int& offset) {
        const Pictures& p = *pics;
        Shot s = p.bare;
        ax = 392 + (int)p.faceX;
        offset = lips ? 3 : 2;
        const double y = 500 + p.faceY;
        auto pair = [&](const Tex* layer) {
            draw(s, layer[i], ax, y, 1, Layer::Mouth);
            draw(s, layer[j], ax + offset, y, -1, Layer::Mouth);
        };
        if (!lips) {
            pair(p.teeth);
            return s;
        }
        pair(p.lipsBack);
        draw(s, p.tongue[40], ax, y + 4, 1, Layer::Mouth);
        pair(p.lipsFront);
        pair(p.lipsUpper);
        return s;
    }

    // Both halves of the lips at picture index i with the tongue's tip held
    // between them (depth 0 or 1 at `shift`), or none (depth < 0), layered as
    // the face screen does at 1280 x 800: the tip clipped to the lips' box,
    // between the front and the upper layer. `column` gets the middle of the
    // tongue where it leaves the lips.
    static Shot composeBetween(int i, int depth, int shift, int& column) {
        const Pictures& p = *pics;
        Shot s = p.bare;
        const double ax = 392 + p.faceX, y = 500 + p.faceY;
        auto pair = [&](const Tex* layer) {
            draw(s, layer[i], ax, y, 1, Layer::Mouth);
            draw(s, layer[i], ax + 3, y, -1, Layer::Mouth);
        };
        pair(p.lipsBack);
        pair(p.lipsFront);
        const Tex& half = p.lipsFront[i];
        const Box box{(int)(ax + 3 - half.w + 5), (int)(y - half.hy * half.h + 5), 2 * half.w - 10, half.h - 10};
        const TonguePlace t = stepTongue(depth < 0 ? 0 : shift, half.w, true);
        const double ts = t.unmirrored ? 1 : -1;
        // The tongue's picture steps lean it towards the side: its root lies
        // two units per step back towards the centre.
        column = (int)std::lround(t.x + p.faceX - ts * 2 * t.variant);
        if (depth >= 0) draw(s, p.held[5 * depth + t.variant], t.x + p.faceX, 504 + p.faceY, ts, Layer::Mouth, &box);
        pair(p.lipsUpper);
        return s;
    }
};
ComposedMouth::Pictures* ComposedMouth::pics = nullptr;

// Halves of any two steps of the lips, or of the teeth, meet at the centre
// line as the halves of one step do: the column just left of where they
// overlap (the left half's) and the one just right of it (the right half's)
// show the same outlines, lips and teeth at the same heights, give or take a
// pixel.
TEST_F(ComposedMouth, LipsAndTeethHalvesOfAnyStepsMeetAtTheCentreLine) {
    int failures = 0;
    for (bool lips : {true, false})
        for (int i = 0; i < 14; ++i)
            for (int j = 0; j < 14; ++j) {
                int ax, offset;
                const Shot s = composeHalves(lips, i, j, ax, offset);
                const int left = ax - 1, right = ax + offset;
                int worst = 0, at = 0;
                for (int y = s.y0 + 1; y < s.y0 + Shot::kH - 1; ++y) {
                    // Off the mouth the columns show the face, which need not be symmetric.
                    if (!s.ink[s.at(left, y)] && !s.ink[s.at(right, y)]) continue;
                    // The right column shifted by up to a pixel, between texels too.
                    float best = 1e9f;
                    for (int d = -1; d <= 0; ++d)
                        for (float f = 0; f <= 1.001f; f += 0.125f) {
                            const float *a = s.colour(right, y + d), *b = s.colour(right, y + d + 1);
                            const float mix[3] = {a[0] + (b[0] - a[0]) * f, a[1] + (b[1] - a[1]) * f,
                                                  a[2] + (b[2] - a[2]) * f};
                            best = std::min(best, distance(s.colour(left, y), mix));
                        }
                    if (best > worst) worst = (int)best, at = y;
                }
                if (worst > 40 && ++failures <= 12)
                    ADD_FAILURE() << (lips ? "lips" : "teeth") << fmt(" right row %d step %d", i / 7 + 1, i % 7 + 1)
                                  << fmt(", left row %d step %d", j / 7 + 1, j % 7 + 1) << ": colours differ by "
                                  << worst << " across the centre line at y " << at - s.y0;
            }
    EXPECT_EQ(failures, 0) << "pairs of halves that do not meet";
}

// A tongue up out of the pouting lips, at every lips width and side place,
// stops short of the nose: no line of the nose pokes out beside its tip.
TEST_F(ComposedMouth, TheTongueUpFromTheLipsLeavesTheNoseAlone) {
    const Shot& bare = pics->bare;
    const float* skin = bare.colour(392 + (int)pics->faceX, 500 + (int)pics->faceY);
    for (int lips = 0; lips < 14; ++lips)
        for (int shift = -4; shift <= 4; ++shift)
            for (int shape = 0; shape < 2; ++shape) {
                const TonguePlace t = stepTongue(shift, pics->lipsFront[lips].w, true);
                Shot s = bare;
                draw(s, pics->tongue[20 + 5 * shape + t.variant], t.x + pics->faceX, 504 + pics->faceY,
                     t.unmirrored ? 1 : -1, Layer::Mouth);
                int touched = 0;
                for (int y = s.y0; y < 480 + pics->faceY; ++y)
                    for (int x = s.x0; x < s.x0 + Shot::kW; ++x)
                        touched += s.ink[s.at(x, y)] && distance(bare.colour(x, y), skin) > 40;
                EXPECT_EQ(touched, 0) << fmt("lips %d, tongue shape %d", lips, shape + 5) << fmt(" side %d", shift);
            }
}

// A tongue held between the lips shows between them, and the lower lip stays
// in front of it: at every lips step, depth and side place, the tongue
// changes the picture under the upper lip, but neither the lower lip's outline
// nor the lip just above it, down the middle of the tongue and beside it.
TEST_F(ComposedMouth, ATongueHeldBetweenTheLipsLeavesTheLowerLipInFront) {
    int failures = 0;
    for (int lips = 0; lips < 14; ++lips) {
        int column;
        const Shot bare = composeBetween(lips, -1, 0, column);
        for (int depth = 0; depth < 2; ++depth)
            for (int shift = -4; shift <= 4; ++shift) {
                const Shot s = composeBetween(lips, depth, shift, column);
                const std::string what =
                    fmt("lips row %d step %d", lips / 7 + 1, lips % 7 + 1) + fmt(", depth %d side %d", depth, shift);
                int shown = 0;
                for (size_t k = 0; k < s.rgb.size() / 3; ++k)
                    shown += distance(&s.rgb[k * 3], &bare.rgb[k * 3]) > 30;
                // Even pushed into a corner of the widest lips, where they close
                // on it, the tongue shows on more: hidden, it shows on its gap.
                if (shown < 60 && ++failures <= 12) ADD_FAILURE() << what << ": the tongue shows on " << shown << " pixels";
                for (int x = column - 12; x <= column + 12; ++x) {
                    int bottom = -1;  // the lower lip's last row in this column
                    for (int y = s.y0; y < s.y0 + Shot::kH; ++y)
                        if (bare.ink[bare.at(x, y)]) bottom = y;
                    if (bottom < 0) continue;
                    for (int y = bottom - 8; y <= bottom; ++y)
                        if (distance(s.colour(x, y), bare.colour(x, y)) > 12) {
                            if (++failures <= 12)
                                ADD_FAILURE() << what << ": the tongue covers the lower lip at "
                                              << fmt("(%d, %d)", x - column, y - bottom) << " from its bottom";
                            break;
                        }
                }
            }
    }
    EXPECT_EQ(failures, 0);
}

// The tongue held between the lips reads as its tip: it comes out from under
// the upper lip at its full width and ends in a round front on the lower lip
// (not a bead in the opening, nor a band cut off square), and the second
// depth shows more of it than the first, reaching further down. Measured on
// its lit pink (its shade is the lips' own red), at every lips step and side
// place.
TEST_F(ComposedMouth, TheTongueHeldBetweenTheLipsShowsItsTipAndMoreAtEachDepth) {
    int failures = 0;
    const float pink[3] = {0xEE, 0x7C, 0x86};
    for (int lips = 0; lips < 14; ++lips) {
        int column;
        const Shot bare = composeBetween(lips, -1, 0, column);
        for (int shift = -4; shift <= 4; ++shift) {
            int shown[2] = {0, 0}, front[2] = {0, 0};
            for (int depth = 0; depth < 2; ++depth) {
                const Shot s = composeBetween(lips, depth, shift, column);
                // The width of the tongue's pink in each row near its column.
                std::vector<int> widths;
                for (int y = s.y0; y < s.y0 + Shot::kH; ++y) {
                    int width = 0;
                    for (int x = column - 30; x <= column + 30; ++x) {
                        const float* c = s.colour(x, y);
                        width += distance(c, bare.colour(x, y)) > 8 && distance(c, pink) < 14;
                    }
                    if (width > 0) shown[depth] += width, front[depth] = y;
                    if (width > 0 || !widths.empty()) widths.push_back(width);
                }
                while (!widths.empty() && widths.back() == 0) widths.pop_back();
                const std::string what =
                    fmt("lips row %d step %d", lips / 7 + 1, lips % 7 + 1) + fmt(", depth %d side %d", depth, shift);
                if (widths.size() < 4) {
                    if (++failures <= 12) ADD_FAILURE() << what << ": no tongue shows";
                    continue;
                }
                // The upper lip's edge slants towards the corners: the tongue
                // leaves it within three rows.
                const int widest = *std::max_element(widths.begin(), widths.end());
                const int top = *std::max_element(widths.begin(), widths.begin() + 3);
                if ((top < widest * 3 / 4 || widths.back() > widest / 2) && ++failures <= 12)
                    ADD_FAILURE() << what << ": widths from under the upper lip " << top << ", at the front "
                                  << widths.back() << ", widest " << widest;
            }
            if ((shown[1] <= shown[0] || front[1] < front[0] + 3) && ++failures <= 12)
                ADD_FAILURE() << fmt("lips row %d step %d", lips / 7 + 1, lips % 7 + 1) << fmt(", side %d", shift)
                              << ": the second depth shows " << shown[1] << " pixels to the first's " << shown[0]
                              << ", its front " << front[1] - front[0] << " rows further down";
        }
    }
    EXPECT_EQ(failures, 0);
}

// Where the two halves of one step overlap, each texel is drawn twice: the
// soft rims of the outlines must not come out darker there than beside it.
TEST_F(ComposedMouth, TheOverlapOfPairedHalvesLeavesNoTick) {
    // How far the overlap columns stray from the blend of the columns beside them.
    auto tick = [](const Shot& s, int ax, int offset, int& at) {
        float worst = 0;
        for (int y = s.y0; y < s.y0 + Shot::kH; ++y)
            for (int x = ax; x < ax + offset; ++x) {
                if (!s.ink[s.at(x, y)]) continue;  // the face itself need not be symmetric
                const float f = (float)(x - ax + 1) / (offset + 1);
                const float *a = s.colour(ax - 1, y), *b = s.colour(ax + offset, y);
                const float mix[3] = {a[0] + (b[0] - a[0]) * f, a[1] + (b[1] - a[1]) * f, a[2] + (b[2] - a[2]) * f};
                if (distance(s.colour(x, y), mix) > worst) worst = distance(s.colour(x, y), mix), at = y - s.y0;
            }
        return worst;
    };
    for (int i = 0; i < 28; ++i) {
        int at = 0;
        const float worst = tick(compose(i, -1, 0, true), 392 + (int)pics->faceX, 2, at);
        EXPECT_LE(worst, 16) << fmt("smile row %d step %d", i / 7 + 1, i % 7 + 1) << " at y " << at;
    }
    // The lips too (the teeth have the gap between the front teeth there).
    for (int i = 0; i < 14; ++i) {
        int ax, offset, at = 0;
        const Shot s = composeHalves(true, i, i, ax, offset);
        EXPECT_LE(tick(s, ax, offset, at), 16) << fmt("lips row %d step %d", i / 7 + 1, i % 7 + 1) << " at y " << at;
    }
}

// Every tongue up or far up out of the smiling mouth, at every row, step, side
// place and mirroring, stops short of the nose: not one of the nose's pixels
// (its outline, shade and highlight) changes.
TEST_F(ComposedMouth, TheTongueUpFromTheSmileLeavesTheNoseAlone) {
    const Shot& bare = pics->bare;
    const int cx = 392 + (int)pics->faceX, fy = (int)pics->faceY;
    const float* skin = bare.colour(cx, 485 + fy);
    // The nose: what differs from the skin above the mouth, round the centre line.
    std::vector<std::pair<int, int>> nose;
    for (int y = bare.y0; y < 475 + fy; ++y)
        for (int x = cx - 45; x <= cx + 45; ++x)
            if (distance(bare.colour(x, y), skin) > 3) nose.push_back({x, y});
    ASSERT_GT(nose.size(), 200u) << "no nose found above the mouth";
    int failures = 0;
    for (int i = 0; i < 28; ++i)
        for (int shape = 0; shape < 2; ++shape)
            for (int shift = -4; shift <= 4; ++shift)
                for (bool unmirrored : {true, false}) {
                    if (shift != 0 && !unmirrored) continue;
                    const Shot s = compose(i, shape, shift, unmirrored);
                    int moved = 0;
                    for (auto [x, y] : nose) moved += distance(s.colour(x, y), bare.colour(x, y)) > 3;
                    if (moved && ++failures <= 12)
                        ADD_FAILURE() << fmt("row %d step %d", i / 7 + 1, i % 7 + 1)
                                      << fmt(", tongue shape %d side %d", shape + 1, shift)
                                      << (unmirrored ? "" : " mirrored") << ": " << moved << " pixels of the nose change";
                }
    EXPECT_EQ(failures, 0);
}

// Both halves of one row and step (the symmetry button's pairs), at every
// tongue shape and place: the open mouth runs across the centre line, the
// tongue that passes through the opening stays behind the lips' line on the
// other side, and the pink squares hide seams without drawing on the face.
TEST_F(ComposedMouth, HalvesOfOneRowAndStepMakeOneMouth) {
    const Shot& bare = pics->bare;
    auto isBare = [&](const Shot& s, int x, int y) { return distance(s.colour(x, y), bare.colour(x, y)) <= 6; };
    const int ax = 392 + (int)pics->faceX;  // the right half's first column; the left half's is ax + 1
    // One report per configuration and kind of fault, with its first place.
    std::set<std::string> reported;
    int failures = 0;
    auto fail = [&](const std::string& what, const std::string& kind, int x, int y) {
        ++failures;
        if (reported.insert(what + kind).second && reported.size() <= 40)
            ADD_FAILURE() << what << ": " << kind << fmt(" at (%d, ", x - ax) << y << ")";
    };
    for (int i = 0; i < 28; ++i) {
        const bool hanging = i >= 14;
        const Shot closed = compose(i, -1, 0, true);
        for (int shape = -1; shape < 4; ++shape)
            for (int shift = -4; shift <= 4; ++shift)
                for (bool unmirrored : {true, false}) {
                    if ((shape < 0 && shift != 0) || (shift != 0 && !unmirrored)) continue;
                    const Shot s = compose(i, shape, shift, unmirrored);
                    const std::string what = fmt("row %d step %d", i / 7 + 1, i % 7 + 1) +
                                             (shape < 0 ? std::string(", tongue in")
                                                        : fmt(", tongue shape %d side %d", shape + 1, shift) +
                                                              (unmirrored ? "" : " mirrored"));
                    for (int y = s.y0; y < s.y0 + Shot::kH; ++y) {
                        // Where the open halves cover both sides of the centre line
                        // (beside the tongue's window, if any), the columns between
                        // them continue the mouth: no skin, no outline.
                        bool left = false, right = false;
                        for (int d = 4; d <= 16; ++d) {
                            left = left || s.open[s.at(ax + 1 - d, y)];
                            right = right || s.open[s.at(ax + d, y)];
                        }
                        if (!left || !right) continue;
                        for (int x = ax - 3; x <= ax + 4; ++x)
                            if (isBare(s, x, y)) fail(what, "skin between the halves", x, y);
                        // The two halves overlap in the centre columns, so the
                        // filtered rim of an edge that crosses them is covered
                        // twice: compare colours only off such rims.
                        auto solid = [&](int x) {
                            return distance(s.colour(x, y), s.colour(x, y - 1)) <= 8 ||
                                   distance(s.colour(x, y), s.colour(x, y + 1)) <= 8;
                        };
                        if (!solid(ax - 1) || !solid(ax + 2)) continue;
                        for (int x : {ax, ax + 1})
                            if (std::min(distance(s.colour(x, y), s.colour(ax - 1, y)),
                                         distance(s.colour(x, y), s.colour(ax + 2, y))) > 30)
                                fail(what, "a centre column differs from its neighbours", x, y);
                    }
                    for (int y = s.y0; y < s.y0 + Shot::kH; ++y)
                        for (int x = s.x0; x < s.x0 + Shot::kW; ++x)
                            if (!s.ink[s.at(x, y)] && !isBare(s, x, y))
                                fail(what, "a pink square draws on the face", x, y);
                    // A tongue through the opening (up through a standing mouth,
                    // down through a hanging one) never shows beyond the lips' line.
                    const bool through = shape >= 0 && std::abs(shift) < 4 && (shape < 2) != hanging;
                    if (!through) continue;
                    for (int x = s.x0; x < s.x0 + Shot::kW; ++x) {
                        int first = -1, last = -1;
                        for (int y = s.y0; y < s.y0 + Shot::kH; ++y)
                            if (closed.ink[closed.at(x, y)]) {
                                if (first < 0) first = y;
                                last = y;
                            }
                        if (first < 0) continue;
                        for (int y = s.y0; y < s.y0 + Shot::kH; ++y)
                            if ((hanging ? y < first - 1 : y > last + 1) && !isBare(s, x, y)) {
                                fail(what, "the tongue shows beyond the lips' line", x, y);
                                break;
                            }
                    }
                }
    }
    EXPECT_EQ(failures, 0) << "faulty pixels in " << reported.size() << " configurations and kinds";
}


// A tongue at a corner of the smiling mouth comes out of the mouth: the half's
// line parts round it and its lower outline opens where the tongue passes, so
// that from the dark inside of the mouth the tongue's pink beyond the corner
// is reached without crossing an outline (a tongue stuck on a closed line, or
// outlined across its root, is cut off from it). Every row and step, tongue
// shape and corner.
TEST_F(ComposedMouth, ATongueAtACornerComesOutOfTheMouth) {
    const float inside[3] = {0x6E, 0x1F, 0x2A}, outline[3] = {0x4A, 0x2C, 0x2A}, pink[3] = {0xEE, 0x7C, 0x86};
    const Shot& bare = pics->bare;
    const int ax = 392 + (int)pics->faceX;
    int failures = 0;
    for (int i = 0; i < 28; ++i)
        for (int shape = 0; shape < 4; ++shape)
            for (int side : {1, -1}) {
                const Shot s = compose(i, shape, 4 * side, true);
                const double corner = 58 + 8 * (i % 7);  // the corner's distance from the centre line
                auto passable = [&](int x, int y) {
                    return s.inside(x, y) && distance(s.colour(x, y), bare.colour(x, y)) > 6 &&
                           distance(s.colour(x, y), outline) > 28;
                };
                std::vector<char> seen(s.ink.size(), 0);
                std::vector<std::pair<int, int>> todo;
                for (int y = s.y0; y < s.y0 + Shot::kH; ++y)
                    for (int x = s.x0; x < s.x0 + Shot::kW; ++x)
                        if (side * (x - ax - 1) > corner / 2 && distance(s.colour(x, y), inside) < 24 && passable(x, y))
                            todo.push_back({x, y}), seen[s.at(x, y)] = 1;
                int reached = 0;
                while (!todo.empty()) {
                    auto [x, y] = todo.back();
                    todo.pop_back();
                    reached += side * (x - ax - 1) > corner + 2 && distance(s.colour(x, y), pink) < 30;
                    for (auto [dx, dy] : {std::pair<int, int>{1, 0}, {-1, 0}, {0, 1}, {0, -1}})
                        if (passable(x + dx, y + dy) && !seen[s.at(x + dx, y + dy)])
                            seen[s.at(x + dx, y + dy)] = 1, todo.push_back({x + dx, y + dy});
                }
                if (reached < 100 && ++failures <= 12)
                    ADD_FAILURE() << fmt("row %d step %d", i / 7 + 1, i % 7 + 1)
                                  << fmt(", tongue shape %d side %d", shape + 1, 4 * side) << ": only " << reached
                                  << " pixels of the tongue beyond the corner are reached from inside the mouth";
            }
    EXPECT_EQ(failures, 0);
}

}  // namespace

namespace {

// The rows of one column where `ink` is set, as runs [first, last].
std::vector<std::pair<int, int>> inkRuns(const Shot& s, int x) {
    std::vector<std::pair<int, int>> runs;
    for (int y = s.y0; y < s.y0 + Shot::kH; ++y) {
        if (!s.ink[s.at(x, y)]) continue;
        if (!runs.empty() && runs.back().second == y - 1)
            runs.back().second = y;
        else
            runs.push_back({y, y});
    }
    return runs;
}

}  // namespace

// The open mouth at each step, a column beside the centre line (clear of the
// tongue's groove and the gap of the front teeth): the upper teeth, then the
// tongue where it lies. At the ridge it reaches up to the upper teeth; lying
// it leaves the dark of the mouth above it; bunched behind the lower teeth it
// stands higher than lying; out it reaches below the lower lip. Each step
// opens the mouth further, and both layers' teeth are in front of the tongue
// inside the mouth.
TEST_F(ComposedMouth, TheOpenMouthShowsTheTongueInEachPlace) {
    const int column = 396 + (int)pics->faceX;
    int lastOpening = 0;
    for (int step = 1; step <= JAW_OPEN_LAST; ++step) {
        SCOPED_TRACE(fmt("open mouth step %d", step));
        const std::vector<std::pair<int, int>> teeth = inkRuns(composeJaw(step, -1, 1), column);
        const std::vector<std::pair<int, int>> back = inkRuns(composeJaw(step, -1, 2), column);
        ASSERT_EQ(teeth.size(), 2u) << "the upper and the lower teeth";
        ASSERT_FALSE(back.empty());
        const int upperTeeth = teeth[0].second, lowerTeeth = teeth[1].first, lowerLip = back.back().second;
        EXPECT_GT(lowerTeeth - upperTeeth, lastOpening + 4);
        lastOpening = lowerTeeth - upperTeeth;
        const Shot without = composeJaw(step, -1);
        int top[OPEN_TONGUE_PLACES], bottom[OPEN_TONGUE_PLACES];
        for (int place = 0; place < OPEN_TONGUE_PLACES; ++place) {
            const Shot with = composeJaw(step, place);
            top[place] = INT32_MAX, bottom[place] = INT32_MIN;
            for (int y = with.y0; y < with.y0 + Shot::kH; ++y)
                if (distance(with.colour(column, y), without.colour(column, y)) > 8)
                    top[place] = std::min(top[place], y), bottom[place] = std::max(bottom[place], y);
            ASSERT_LE(top[place], bottom[place]) << "no tongue shows at place " << place;
            if (place == TONGUE_OUT_OF_MOUTH) continue;
            EXPECT_GE(top[place], upperTeeth - 1) << "the tongue at " << place << " over the upper teeth";
            EXPECT_GE(bottom[place], lowerTeeth - 2) << "the tongue at " << place << " does not reach the lower teeth";
            EXPECT_LE(bottom[place], lowerTeeth + 1) << "the tongue at " << place << " over the lower teeth";
        }
        EXPECT_LE(top[TONGUE_AT_RIDGE], upperTeeth + 2) << "the tongue tip does not reach the ridge";
        EXPECT_GT(top[TONGUE_LYING], upperTeeth + 4) << "no dark mouth above the lying tongue";
        EXPECT_LT(top[TONGUE_BEHIND_LOWER_TEETH], top[TONGUE_LYING] - 2) << "the bunched tongue stands no higher";
        EXPECT_GT(top[TONGUE_BEHIND_LOWER_TEETH], upperTeeth + 2) << "the bunched tongue reaches the ridge";
        EXPECT_GT(bottom[TONGUE_OUT_OF_MOUTH], lowerLip + 3) << "the tongue out stays inside the lips";
    }
    // Pressed, the lips still show their red; rolled in, none of it.
    for (int step = 1; step <= -JAW_PRESSED_LAST; ++step) {
        Shot s = pics->bare;
        draw(s, pics->pressed[step - 1], 392 + pics->faceX, 506 + pics->faceY, 1, Layer::Mouth);
        const float lips[3] = {0xD9, 0x60, 0x6E};
        int red = 0;
        for (int y = s.y0; y < s.y0 + Shot::kH; ++y)
            for (int x = s.x0; x < s.x0 + Shot::kW; ++x) red += distance(s.colour(x, y), lips) < 12;
        if (step == 1)
            EXPECT_GT(red, 100) << "the pressed lips show no red";
        else
            EXPECT_EQ(red, 0) << "the rolled-in lips still show red";
    }
}
