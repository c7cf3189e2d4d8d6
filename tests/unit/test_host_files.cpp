// Paths, whole-file reads, pictures, the state file, the date and the byte
// buffers.
#include <gtest/gtest.h>
#include <stb/stb_image_write.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <ctime>
#include <fstream>
#include <string>

#include "host/data_buffer.h"
#include "host/glfw_game.h"
#include "host/paths.h"

namespace {

std::string Utf8(const String& s) { return PathToUtf8(s); }

// A fresh directory for each test, removed afterwards; the working directory
// is moved there and back.
struct FileTest : ::testing::Test {
    std::string dir;
    std::string oldCwd;
    KtRavlenGame game;

    void SetUp() override {
        char pattern[] = "/tmp/grimalou_files_XXXXXX";
        dir = mkdtemp(pattern);
        char cwd[4096];
        oldCwd = getcwd(cwd, sizeof cwd);
        ASSERT_EQ(chdir(dir.c_str()), 0);
        game.appDir = String(dir.c_str());
    }
    void TearDown() override {
        ASSERT_EQ(chdir(oldCwd.c_str()), 0);
        std::string command = "rm -rf '" + dir + "'";
        ASSERT_EQ(std::system(command.c_str()), 0);
    }
    void Write(const std::string& name, const std::string& bytes) {
        std::ofstream(dir + "/" + name, std::ios::binary) << bytes;
    }
    std::string Read(const std::string& name) {
        std::ifstream in(dir + "/" + name, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
};

TEST(Paths, FolderOfTheExecutable) {
    EXPECT_EQ(Utf8(DirectoryOf(String("D:\\Games\\run.exe"))), "D:/Games");
    EXPECT_EQ(Utf8(DirectoryOf(String("/opt/grimalou/grimalou"))), "/opt/grimalou");
    EXPECT_EQ(Utf8(DirectoryOf(String("grimalou"))), ".");
    // The real one ends with this test's own folder.
    std::string here = Utf8(DirectoryOf(ExecutablePath()));
    EXPECT_EQ(here.substr(here.rfind('/') + 1), "unit");
}

TEST(Paths, ResolvesTheRavlenForms) {
    KtRavlenGame game;
    game.appDir = DirectoryOf(String("D:\\Games\\run.exe"));
    EXPECT_EQ(Utf8(game.ResolvePath(String("ravlen://data/images1a.png"))), "D:/Games/data/images1a.png");
    EXPECT_EQ(Utf8(game.ResolvePath(String("ravlen://internal/save.txt"))), "D:/Games/internal/save.txt");
    EXPECT_EQ(Utf8(game.internalDir), "D:/Games/internal");
    EXPECT_EQ(Utf8(game.ResolvePath(String("ravlen://external/x/y.png"))), "D:/Games/external/x/y.png");
    EXPECT_EQ(Utf8(game.ResolvePath(String("ravlen://cloud/a.png"))), "");
    EXPECT_EQ(Utf8(game.ResolvePath(String("ravlen:data/a.png"))), "");
    EXPECT_EQ(Utf8(game.ResolvePath(String("RAVLEN://data/a.png"))), "RAVLEN://data/a.png");
    EXPECT_EQ(Utf8(game.ResolvePath(String("./.ravlenstate"))), "./.ravlenstate");
    EXPECT_EQ(Utf8(game.ResolvePath(String("pictures/a.png"))), "pictures/a.png");
}

TEST(Paths, FindsTheExecutablesFolderWhenNoneIsSet) {
    KtRavlenGame game;
    std::string resolved = Utf8(game.ResolvePath(String("ravlen://data/a.png")));
    EXPECT_EQ(resolved, Utf8(DirectoryOf(ExecutablePath())) + "/data/a.png");
}

TEST(Paths, SurrogatePairsBecomeOneFourByteSequence) {
    const Char pair[] = {'a', 0xD83D, 0xDE00, 0xE9, 0};  // a, U+1F600, U+00E9
    EXPECT_EQ(PathToUtf8(String(pair)), "a\xF0\x9F\x98\x80\xC3\xA9");
    const Char lone[] = {0xDC00, 'b', 0};
    EXPECT_EQ(PathToUtf8(String(lone)), "\xED\xB0\x80" "b");
}

TEST_F(FileTest, OpenFileFindsFilesWithNonAsciiNames) {
    Write("\xF0\x9F\x98\x80.txt", "smile");
    const Char name[] = {0xD83D, 0xDE00, '.', 't', 'x', 't', 0};
    std::FILE* file = game.OpenFile(String(name), String("rb"));
    ASSERT_NE(file, nullptr);
    std::fclose(file);
    EXPECT_EQ(game.OpenFile(String("ravlen://elsewhere/a.txt"), String("rb")), nullptr);
    EXPECT_EQ(game.OpenFile(String("missing.txt"), String("rb")), nullptr);
}

TEST_F(FileTest, DataPathsOpenBesideTheExecutableAndPlainOnesInTheWorkingDirectory) {
    ASSERT_EQ(mkdir((dir + "/data").c_str(), 0755), 0);
    Write("data/note.txt", "in data");
    Write("note.txt", "in cwd");
    EXPECT_EQ(Utf8(game.LoadText(String("ravlen://data/note.txt"))), "in data");
    EXPECT_EQ(Utf8(game.LoadText(String("note.txt"))), "in cwd");
    EXPECT_TRUE(game.LoadText(String("ravlen://data/missing.txt")).IsEmpty());
}

TEST_F(FileTest, LoadFileDataReadsWholeFiles) {
    std::string bytes(8192, '\0');
    for (int i = 0; i < 8192; ++i) bytes[i] = static_cast<char>(i * 7);
    Write("exact.bin", bytes);
    Write("odd.bin", bytes.substr(0, 5000));
    Write("empty.bin", "");
    int before = gc_external_new_bytes();
    int length = -1;
    unsigned char* block = game.LoadFileData(String("exact.bin"), &length);
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(length, 8192);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(block), 8192), bytes);
    EXPECT_EQ(gc_external_new_bytes() - before, 8192);
    std::free(block);

    block = game.LoadFileData(String("odd.bin"), &length);
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(length, 5000);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(block), 5000), bytes.substr(0, 5000));
    std::free(block);

    // An empty file is a file: a block of length 0, not the "no file" null.
    block = game.LoadFileData(String("empty.bin"), &length);
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(length, 0);
    std::free(block);

    length = 77;
    EXPECT_EQ(game.LoadFileData(String("missing.bin"), &length), nullptr);
    EXPECT_EQ(length, 77);
    // A folder opens, but its first read fails: that is no file, not an empty one.
    ASSERT_EQ(mkdir((dir + "/folder").c_str(), 0755), 0);
    EXPECT_EQ(game.LoadFileData(String("folder"), &length), nullptr);
    EXPECT_EQ(length, 77);
}

TEST_F(FileTest, StateFileRoundTripsAsUtf8InTheWorkingDirectory) {
    EXPECT_TRUE(game.FetchStateText().IsEmpty());
    const Char e[] = {0xE9, 0};
    EXPECT_EQ(game.StoreStateText(String(e)), 0);
    EXPECT_EQ(Read(".ravlenstate"), "\xC3\xA9");
    String back = game.FetchStateText();
    ASSERT_EQ(back.Length(), 1);
    EXPECT_EQ(back[0], 0xE9);

    EXPECT_EQ(game.StoreStateText(String()), 0);
    EXPECT_EQ(Read(".ravlenstate"), "");
    EXPECT_TRUE(game.FetchStateText().IsEmpty());
}

TEST_F(FileTest, StateFileFailuresAreReported) {
    // A directory in the state file's place cannot be opened for writing.
    ASSERT_EQ(mkdir((dir + "/.ravlenstate").c_str(), 0755), 0);
    EXPECT_EQ(game.StoreStateText(String("x")), -1);
}

TEST(StateFile, AFullDiskIsReportedAsAnIncompleteWrite) {
    if (access("/dev/full", W_OK) != 0) GTEST_SKIP() << "no /dev/full";
    char pattern[] = "/tmp/grimalou_full_XXXXXX";
    std::string dir = mkdtemp(pattern);
    ASSERT_EQ(symlink("/dev/full", (dir + "/.ravlenstate").c_str()), 0);
    char cwd[4096];
    std::string old = getcwd(cwd, sizeof cwd);
    ASSERT_EQ(chdir(dir.c_str()), 0);
    KtRavlenGame game;
    int result = game.StoreStateText(String("short text that fits in the stream's buffer"));
    ASSERT_EQ(chdir(old.c_str()), 0);
    std::system(("rm -rf '" + dir + "'").c_str());
    EXPECT_EQ(result, -2);
}

TEST_F(FileTest, LoadImagePixelsKeepsTheFilesComponents) {
    const unsigned char rgba[2 * 3 * 4] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12,
                                           13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24};
    ASSERT_NE(stbi_write_png((dir + "/rgba.png").c_str(), 2, 3, 4, rgba, 8), 0);
    const unsigned char grey[4] = {0, 85, 170, 255};
    ASSERT_NE(stbi_write_png((dir + "/grey.png").c_str(), 4, 1, 1, grey, 4), 0);
    Write("broken.png", "\x89PNG\r\n\x1a\n not really");

    int w = 0, h = 0, c = 0;
    int before = gc_external_new_bytes();
    unsigned char* pixels = game.LoadImagePixels(String("rgba.png"), &w, &h, &c);
    ASSERT_NE(pixels, nullptr);
    EXPECT_EQ(w, 2);
    EXPECT_EQ(h, 3);
    EXPECT_EQ(c, 4);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(pixels), 24), std::string(reinterpret_cast<const char*>(rgba), 24));
    EXPECT_EQ(gc_external_new_bytes() - before, 24);
    std::free(pixels);

    pixels = game.LoadImagePixels(String("grey.png"), &w, &h, &c);
    ASSERT_NE(pixels, nullptr);
    EXPECT_EQ(c, 1);
    EXPECT_EQ(pixels[2], 170);
    std::free(pixels);

    // A caller's limit on the pixels: the 2 x 3 picture fits in 6, not in 5.
    pixels = game.LoadImagePixels(String("rgba.png"), &w, &h, &c, 6);
    EXPECT_NE(pixels, nullptr);
    std::free(pixels);
    before = gc_external_new_bytes();
    EXPECT_EQ(game.LoadImagePixels(String("rgba.png"), &w, &h, &c, 5), nullptr);
    EXPECT_EQ(gc_external_new_bytes(), before);

    EXPECT_EQ(game.LoadImagePixels(String("broken.png"), &w, &h, &c), nullptr);
    EXPECT_EQ(game.LoadImagePixels(String("missing.png"), &w, &h, &c), nullptr);
}

TEST_F(FileTest, LoadSampleDataDecodesByEndingAndReportsTheBytes) {
    // A RIFF/WAVE file: 16-bit mono PCM at 22050 Hz, 4 frames.
    std::string wav = "RIFF";
    auto u32 = [](uint32_t v) { return std::string{char(v), char(v >> 8), char(v >> 16), char(v >> 24)}; };
    auto u16 = [](uint16_t v) { return std::string{char(v), char(v >> 8)}; };
    std::string samples = u16(1) + u16(2) + u16(0xFFFF) + u16(0x8000);
    wav += u32(36 + 8) + "WAVE" + "fmt " + u32(16) + u16(1) + u16(1) + u32(22050) + u32(44100) + u16(2) + u16(16);
    wav += "data" + u32(8) + samples;
    Write("beep.wav", wav);
    Write("beep.xyz", wav);

    int length = 0, channels = 0, bytesPerSample = 0, rate = 0;
    int before = gc_external_new_bytes();
    unsigned char* block = game.LoadSampleData(String("beep.wav"), &length, &channels, &bytesPerSample, &rate);
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(length, 4);
    EXPECT_EQ(channels, 1);
    EXPECT_EQ(bytesPerSample, 2);
    EXPECT_EQ(rate, 22050);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(block), 8), samples);
    EXPECT_EQ(gc_external_new_bytes() - before, 8);
    std::free(block);

    EXPECT_EQ(game.LoadSampleData(String("beep.xyz"), &length, &channels, &bytesPerSample, &rate), nullptr);
    EXPECT_EQ(game.LoadSampleData(String("none.wav"), &length, &channels, &bytesPerSample, &rate), nullptr);
}

TEST(Date, FillsAsManyFieldsAsTheArrayHolds) {
    KtRavlenGame game;
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    Array<int> three(3);
    game.FillDate(three);
    EXPECT_EQ(three[0], local.tm_year + 1900);
    EXPECT_EQ(three[1], local.tm_mon + 1);
    EXPECT_EQ(three[2], local.tm_mday);

    Array<int> nine(9);
    for (int i = 0; i < 9; ++i) nine[i] = -5;
    game.FillDate(nine);
    EXPECT_GE(nine[3], 0);
    EXPECT_LE(nine[3], 23);
    EXPECT_EQ(nine[6], 0);
    EXPECT_EQ(nine[7], -5);  // beyond the seven fields: untouched
    game.FillDate(Array<int>());
}

TEST(DataBuffer, LittleEndianValuesAtAnyOffset) {
    c_DataBuffer* buffer = (new c_DataBuffer())->New(16);
    EXPECT_EQ(buffer->Length(), 16);
    buffer->PokeInt(1, 0x11223344);
    EXPECT_EQ(buffer->Data()[1], 0x44);
    EXPECT_EQ(buffer->Data()[4], 0x11);
    EXPECT_EQ(buffer->PeekInt(1), 0x11223344);
    buffer->PokeShort(6, -2);
    EXPECT_EQ(buffer->PeekShort(6), -2);
    EXPECT_EQ(buffer->Data()[6], 0xFE);
    EXPECT_EQ(buffer->Data()[7], 0xFF);
    buffer->PokeByte(9, 200);
    EXPECT_EQ(buffer->PeekByte(9), -56);  // bytes read back signed
    buffer->PokeFloat(11, 1.5f);
    EXPECT_EQ(buffer->PeekInt(11), 0x3FC00000);
    EXPECT_FLOAT_EQ(buffer->PeekFloat(11), 1.5f);
    buffer->PokeInt(12, -1);
    EXPECT_EQ(buffer->PeekInt(12), -1);
}

TEST(DataBuffer, AllocateAndDiscard) {
    KtDataBuffer* buffer = new KtDataBuffer();
    EXPECT_TRUE(buffer->Allocate(8));
    EXPECT_FALSE(buffer->Allocate(8));  // already holds a block
    EXPECT_EQ(buffer->Length(), 8);
    buffer->Discard();
    EXPECT_EQ(buffer->Data(), nullptr);
    EXPECT_EQ(buffer->Length(), 0);
    EXPECT_FALSE(buffer->Allocate(-1));
    EXPECT_TRUE(buffer->Allocate(0));
    EXPECT_NE(buffer->Data(), nullptr);
}

TEST(DataBufferDeathTest, ASecondNewIsARuntimeError) {
    EXPECT_EXIT(
        {
            // The report's debugger prompt finds no answer and ends the process.
            std::freopen("/dev/null", "r", stdin);
            dup2(2, 1);  // the report goes to standard output; let the matcher see it
            c_DataBuffer* buffer = (new c_DataBuffer())->New(4);
            buffer->New(4);
        },
        ::testing::ExitedWithCode(255), "Ravlen Runtime Error : Allocate DataBuffer failed");
}

}  // namespace
