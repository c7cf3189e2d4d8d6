// Opening a link: the URL reaches xdg-open as one argument, untouched by any
// shell, and the finished opener is collected.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>

#include "host/glfw_game.h"
#include "host/open_link.h"

namespace {

struct OpenLinkTest : ::testing::Test {
    std::string dir;
    std::string oldPath;
    void SetUp() override {
        char pattern[] = "/tmp/grimalou_link_XXXXXX";
        dir = mkdtemp(pattern);
        oldPath = std::getenv("PATH") ? std::getenv("PATH") : "";
    }
    void TearDown() override {
        setenv("PATH", oldPath.c_str(), 1);
        std::system(("rm -rf '" + dir + "'").c_str());
    }
    // A stand-in xdg-open that writes its arguments, one per line.
    void InstallRecorder() {
        std::ofstream script(dir + "/xdg-open");
        script << "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done > '" << dir << "/args.tmp'\n"
               << "mv '" << dir << "/args.tmp' '" << dir << "/args'\n";
        script.close();
        chmod((dir + "/xdg-open").c_str(), 0755);
        setenv("PATH", (dir + ":/usr/bin:/bin").c_str(), 1);
    }
    std::string WaitForArgs() {
        for (int i = 0; i < 2000; ++i) {
            std::ifstream in(dir + "/args");
            if (in) return std::string(std::istreambuf_iterator<char>(in), {});
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return "(xdg-open never ran)";
    }
};

TEST_F(OpenLinkTest, TheUrlIsOneArgumentAndNoShellReadsIt) {
    InstallRecorder();
    KtRavlenGame game;
    const Char url[] = {'h', 't', 't', 'p', ':', '/', '/', 'a', '/', 0xE9, ';', ' ', '$', '(', 'x', ')', 0};
    game.OpenLink(String(url));
    EXPECT_EQ(WaitForArgs(), "http://a/\xC3\xA9; $(x)\n");
    for (int i = 0; i < 2000 && PendingLinkOpeners() > 0; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        ReapLinkOpeners();
    }
    EXPECT_EQ(PendingLinkOpeners(), 0);
}

TEST_F(OpenLinkTest, WithoutXdgOpenNothingHappens) {
    setenv("PATH", dir.c_str(), 1);
    KtRavlenGame game;
    game.OpenLink(String("http://example.org/"));
    EXPECT_EQ(PendingLinkOpeners(), 0);
}

}  // namespace
