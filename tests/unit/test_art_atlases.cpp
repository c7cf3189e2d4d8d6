// The generated atlases and font pictures: every key of the catalogue where the
// application looks for it, sane rectangles, steps that move, halves that meet
// their mirror, and output that is the same on every run and matches data/.
#include <gtest/gtest.h>

#define STB_IMAGE_IMPLEMENTATION
#include <stb/stb_image.h>

#include <dirent.h>
#include <sys/stat.h>

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
        for (const char* a : {"images1a", "images1b", "images2", "images3"})
            (*atlases)[a] = AtlasData{readFile(out + "/data/" + a + ".txt"),
                                      loadPicture(out + "/data/" + a + ".png")};
    }
    static void TearDownTestSuite() {
        delete atlases;
        std::system(("rm -rf " + out).c_str());
    }

    static const AtlasData& atlas(const std::string& name) { return atlases->at(name); }

    // A sprite cut out of its atlas, or an empty picture if the key is missing.
    static Picture sprite(const std::string& atlasName, const std::string& key) {
        const AtlasData& a = atlas(atlasName);
        Rect r;
        std::string field;
        Picture p;
        if (!lookup(a.index, key, r, field)) return p;
        p.w = r.w;
        p.h = r.h;
        for (int y = 0; y < r.h; ++y)
            for (int x = 0; x < r.w; ++x)
                for (int c = 0; c < 4; ++c)
                    p.rgba.push_back(a.pic.rgba[((size_t)(r.y + y) * a.pic.w + r.x + x) * 4 + c]);
        return p;
    }
};
std::string Art::out;
std::map<std::string, Art::AtlasData>* Art::atlases = nullptr;

TEST_F(Art, EveryCatalogueKeyIsFoundAsItselfInItsAtlas) {
    const std::map<std::string, std::vector<std::string>> expected = {
        {"images1a", characterKeys()}, {"images1b", characterKeys()},
        {"images2", sharedKeys()},     {"images3", titleKeys()}};
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
    std::vector<std::string> up = smile("b.png"), down = smile("c.png");
    keys.insert(keys.end(), up.begin(), up.end());
    keys.insert(keys.end(), down.begin(), down.begin() + 14);
    keys.insert(keys.end(), down.begin() + 14, down.end());
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
    // The open smiling mouths too: a right half in one row meets a left half in
    // any other row, closed or open, so at the centre line every rendering of
    // every row and step keeps the closed line's profile (the openings taper
    // into it), and the columns beside it stay near that profile.
    std::vector<std::string> all = smile(".png"), b = smile("b.png"), c = smile("c.png");
    all.insert(all.end(), b.begin(), b.end());
    all.insert(all.end(), c.begin(), c.end());
    for (size_t i = 0; i < all.size(); ++i) {
        Picture p = sprite("images2", all[i]);
        bool hanging = i % 28 >= 14;
        for (int x = 0; x < 2; ++x) {
            double top, bottom;
            ASSERT_TRUE(centreSpan(p, hanging ? 9.9 : p.h, top, bottom, x)) << all[i];
            EXPECT_NEAR(top, refTop, 1.0) << all[i] << " column " << x;
            EXPECT_NEAR(bottom, refBottom, 1.0) << all[i] << " column " << x;
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
    for (const Picture* p : {&bordered, &framed}) {
        ASSERT_EQ(p->w % 96, 0);
        const int cw = p->w / 96;
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

}  // namespace
