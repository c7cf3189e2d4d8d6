// Sprite atlases: the index lookup on any index that follows the format, and
// the loading step's reports for missing and broken atlas files.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "app/ui/atlas.h"
#include "canvas/image.h"
#include "canvas/renderer.h"
#include "tests/support/app_test_support.h"
#include "tests/support/canvas_test_support.h"
#include "tests/unit/host_test_support.h"

namespace {

AtlasRect Find(const char* index, const char* name, bool* found = nullptr) {
    AtlasRect r;
    bool ok = FindAtlasRect(String(index), String(name), &r);
    if (found) *found = ok;
    return r;
}

void ExpectRect(const AtlasRect& r, int x, int y, int w, int h) {
    EXPECT_EQ(r.x, x);
    EXPECT_EQ(r.y, y);
    EXPECT_EQ(r.width, w);
    EXPECT_EQ(r.height, h);
}

TEST(AtlasIndex, LinesInAnyOrderWithEitherEnding) {
    const char* lf = "gars.png:10:20:30:40\nfille.png:1:2:3:4\ntitre.png:5:6:7:8";
    const char* crlf = "titre.png:5:6:7:8\r\nfille.png:1:2:3:4\r\ngars.png:10:20:30:40\r\n";
    for (const char* index : {lf, crlf}) {
        ExpectRect(Find(index, "fille.png"), 1, 2, 3, 4);
        ExpectRect(Find(index, "titre.png"), 5, 6, 7, 8);
        ExpectRect(Find(index, "gars.png"), 10, 20, 30, 40);
    }
}

TEST(AtlasIndex, TheFirstLineWithFiveFieldsThatBeginsWithTheKeyWins) {
    // Too few fields, then too many, then the right one, then a duplicate.
    ExpectRect(Find("fille.png:1:2:3\nfille.png:9:9:9:9:9\nfille.png:5:6:7:8\nfille.png:0:0:1:1", "fille.png"), 5,
               6, 7, 8);
    // A prefix of the whole line: the key without its ending, or with letters after it.
    ExpectRect(Find("rect4609.png:3:4:80:80", "rect4609"), 3, 4, 80, 80);
    ExpectRect(Find("fille.pngx:3:4:5:6", "fille.png"), 3, 4, 5, 6);
    bool found = true;
    Find("\n\nxfille.png:1:2:3:4\n", "fille.png", &found);
    EXPECT_FALSE(found);
    Find("", "fille.png", &found);
    EXPECT_FALSE(found);
}

TEST(AtlasIndex, NumbersReadLikeADecimalScannerAndClampAtTheIntRange) {
    ExpectRect(Find("k:12abc:-5:x:  7", "k"), 12, -5, 0, 7);
    ExpectRect(Find("k:99999999999999999999:-99999999999:2147483648:1", "k"), 2147483647, -2147483647 - 1,
               2147483647, 1);
    // Only the first 63 characters of a field count.
    std::string field = std::string(62, '0') + "12";
    ExpectRect(Find(("k:" + field + ":1:1:1").c_str(), "k"), 1, 1, 1, 1);
}

// ---- The loading step ---------------------------------------------------------

struct AtlasFiles : ::testing::Test {
    std::string data;
    void SetUp() override {
        data = StartRecordedRenderer();
        InitRenderer();
        StartHostOnce();
        // A 64 x 32 picture.
        WritePng(data + "/pair.png", 64, 32, 4, std::vector<unsigned char>(64 * 32 * 4, 200));
    }
    void WriteIndex(const std::string& text) {
        std::ofstream(data + "/pair.txt", std::ios::binary) << text;
    }
};

TEST_F(AtlasFiles, SpritesAreCutWithTheirRectanglesAndCentredHandles) {
    WriteIndex("a.png:0:0:64:32\nb.png:10:4:20:8\n");
    Atlas atlas = LoadAtlas("pair");
    c_Image2* b = CutSprite(atlas, String("b.png"));
    EXPECT_EQ(b->Width(), 20);
    EXPECT_EQ(b->Height(), 8);
    EXPECT_FLOAT_EQ(b->PivotX(), 0.5f);
    EXPECT_FLOAT_EQ(b->s0, 10.0f / 64);
    EXPECT_FLOAT_EQ(b->t1, 12.0f / 32);
    CloseAtlas(atlas);
    // The sprite keeps the texture after the atlas picture let go of it.
    EXPECT_NE(b->material, nullptr);
    EXPECT_EQ(AtlasImage(nullptr, String("b.png:0:0:1:1"), String("b.png")), nullptr);
}

TEST_F(AtlasFiles, AMissingOrBrokenFileIsNamed) {
    WriteIndex("a.png:0:0:64:32\n");
    EXPECT_RUNTIME_ERROR(LoadAtlas("absent"), "Cannot load the atlas picture \"absent.png\"");
    std::ofstream(data + "/broken.png", std::ios::binary) << "\x89PNG\r\n\x1a\n truncated";
    EXPECT_RUNTIME_ERROR(LoadAtlas("broken"), "Cannot load the atlas picture \"broken.png\"");
    // Beyond the largest atlas the program loads: refused as unreadable.
    std::filesystem::copy_file(HugePicturePath(), data + "/huge.png");
    EXPECT_RUNTIME_ERROR(LoadAtlas("huge"), "Cannot load the atlas picture \"huge.png\"");
    std::remove((data + "/pair.txt").c_str());
    EXPECT_RUNTIME_ERROR(LoadAtlas("pair"), "Cannot load the atlas index \"pair.txt\"");
}

TEST_F(AtlasFiles, AnAbsentKeyOrARectangleOutsideThePictureNamesKeyAndIndex) {
    WriteIndex("edge.png:60:0:5:32\nflat.png:0:0:10:0\nneg.png:-1:0:4:4\nok.png:0:0:64:32\n");
    Atlas atlas = LoadAtlas("pair");
    EXPECT_NE(CutSprite(atlas, String("ok.png")), nullptr);
    EXPECT_RUNTIME_ERROR(CutSprite(atlas, String("gars.png")),
                         "The sprite \"gars.png\" is missing from the atlas index \"pair.txt\"");
    for (const char* key : {"edge.png", "flat.png", "neg.png"}) {
        std::string expected = std::string("The sprite \"") + key + "\" of the atlas index \"pair.txt\" is not an area";
        EXPECT_EXIT(
            {
                SendReportsToStderr();
                CutSprite(atlas, String(key));
            },
            ::testing::ExitedWithCode(255), expected);
        EXPECT_EQ(AtlasImage(atlas.picture, atlas.index, String(key)), nullptr) << key;
    }
}

}  // namespace
