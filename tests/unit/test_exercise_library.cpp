// The exercise library on disk, in a private XDG_DATA_HOME: saving, listing
// newest first, loading, deleting, and failed saves that harm nothing.
#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/time.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "app/exercise/exercise_library.h"

namespace fs = std::filesystem;

namespace {

std::string Slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void Touch(const std::string& path, const std::string& bytes, int64_t secondsAgo) {
    std::ofstream(path, std::ios::binary) << bytes;
    struct timeval times[2];
    times[0].tv_sec = times[1].tv_sec = static_cast<time_t>(std::time(nullptr) - secondsAgo);
    times[0].tv_usec = times[1].tv_usec = 0;
    ASSERT_EQ(utimes(path.c_str(), times), 0);
}

Exercise Short(Child child, int x) {
    Exercise e;
    e.child = child;
    e.randomState = x;
    e.title = "Short " + std::to_string(x);
    e.entries = {{x, 10}, {x + 1, 10}, {ENTRY_IDLE, 0}, {ENTRY_END, 0}};
    return e;
}

LocalTime At(int hour, int minute, int second) {
    LocalTime t;
    t.year = 2026, t.month = 12, t.day = 7, t.hour = hour, t.minute = minute, t.second = second;
    return t;
}

struct LibraryTest : ::testing::Test {
    std::string dir, folder;
    void SetUp() override {
        char pattern[] = "/tmp/grimalou_library_XXXXXX";
        dir = mkdtemp(pattern);
        setenv("XDG_DATA_HOME", (dir + "/data").c_str(), 1);
        folder = dir + "/data/grimalou/exercises";
    }
    void TearDown() override {
        unsetenv("XDG_DATA_HOME");
        fs::remove_all(dir);
    }
    std::vector<std::string> Names() {
        std::vector<LibraryEntry> entries;
        EXPECT_EQ(ListExercises(&entries), "");
        std::vector<std::string> names;
        for (const LibraryEntry& e : entries) names.push_back(e.name);
        return names;
    }
    std::string Save(const Exercise& e, const LocalTime& when) {
        std::string path;
        EXPECT_EQ(SaveExercise(e, when, &path), "");
        return path;
    }
};

TEST_F(LibraryTest, FolderFollowsTheDesktopRules) {
    EXPECT_EQ(ExerciseFolder(), folder);
    std::string home = std::getenv("HOME") ? std::getenv("HOME") : "";
    setenv("HOME", "/home/someone", 1);
    setenv("XDG_DATA_HOME", "relative/data", 1);  // not absolute: ignored
    EXPECT_EQ(ExerciseFolder(), "/home/someone/.local/share/grimalou/exercises");
    unsetenv("XDG_DATA_HOME");
    EXPECT_EQ(ExerciseFolder(), "/home/someone/.local/share/grimalou/exercises");
    setenv("HOME", home.c_str(), 1);
}

TEST_F(LibraryTest, SavesListNewestFirstAndLoadAndDelete) {
    // Never saved to: empty, and no folder made by looking.
    EXPECT_TRUE(Names().empty());
    EXPECT_FALSE(fs::exists(folder));

    Save(Short(Child::Girl, 1), At(9, 0, 0));
    std::string boy = Save(Short(Child::Boy, 2), At(10, 30, 5));
    for (int i = 0; i < 10; ++i) Save(Short(Child::Boy, 3 + i), At(10, 30, 5));
    // Copied in by hand, two days ago; a save that died an hour ago and one
    // running now; something else.
    Touch(folder + "/homework.grimalou", Slurp(boy), 2 * 86400);
    Touch(folder + "/.save-1-1", "grimalou-exer", 2 * 3600);
    Touch(folder + "/.save-1-2", "grimalou-exer", 10);
    Touch(folder + "/notes.txt", "", 0);

    std::vector<std::string> names = Names();
    ASSERT_EQ(names.size(), 13u);
    EXPECT_EQ(names[0], "2026-12-07_10-30-05_boy-11.grimalou");
    EXPECT_EQ(names[9], "2026-12-07_10-30-05_boy-2.grimalou");
    EXPECT_EQ(names[10], "2026-12-07_10-30-05_boy.grimalou");
    EXPECT_EQ(names[11], "2026-12-07_09-00-00_girl.grimalou");
    EXPECT_EQ(names[12], "homework.grimalou");

    std::vector<LibraryEntry> entries;
    ASSERT_EQ(ListExercises(&entries), "");
    EXPECT_TRUE(entries[11].childKnown && entries[11].child == Child::Girl && entries[11].saved.hour == 9);
    EXPECT_FALSE(entries[12].childKnown);
    Exercise loaded;
    ASSERT_EQ(LoadExercise(entries[0].path, &loaded), "");
    EXPECT_TRUE(loaded == Short(Child::Boy, 12));

    // The next save removed the dead save's file, not the running one's.
    Save(Short(Child::Girl, 20), At(11, 0, 0));
    EXPECT_FALSE(fs::exists(folder + "/.save-1-1"));
    EXPECT_TRUE(fs::exists(folder + "/.save-1-2"));

    EXPECT_EQ(DeleteExercise(boy), "");
    EXPECT_EQ(Names().size(), 13u);
    EXPECT_NE(DeleteExercise(boy).find("No such file"), std::string::npos);
}

TEST_F(LibraryTest, AFailedSaveLeavesEveryOtherFileIntact) {
    std::string first = Save(Short(Child::Girl, 1), At(9, 0, 0));
    std::string second = Save(Short(Child::Boy, 2), At(9, 0, 1));
    std::string before1 = Slurp(first), before2 = Slurp(second);
    auto hidden = [&] {
        int n = 0;
        for (const auto& item : fs::directory_iterator(folder)) n += item.path().filename().string()[0] == '.';
        return n;
    };

    // The disk fills up halfway through the file: a file size limit stops
    // writes the same way, for any user.
    struct rlimit old;
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = old;
    small.rlim_cur = 300;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    std::string path;
    std::string problem = SaveExercise(Short(Child::Girl, 3), At(9, 0, 0), &path);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &old), 0);
    EXPECT_NE(problem.find("File too large"), std::string::npos) << problem;

    // A folder that cannot be written (a user other than root is refused).
    if (geteuid() != 0) {
        fs::permissions(folder, fs::perms::owner_read | fs::perms::owner_exec);
        EXPECT_NE(SaveExercise(Short(Child::Girl, 4), At(9, 0, 2), &path).find("Permission denied"),
                  std::string::npos);
        fs::permissions(folder, fs::perms::owner_all);
    }
    // An exercise the reader would refuse is never written.
    Exercise bad = Short(Child::Girl, 5);
    bad.startFace.tongueDepth = 7;
    EXPECT_NE(SaveExercise(bad, At(9, 0, 3), &path).find("tongueDepth 7 is out of range"), std::string::npos);

    EXPECT_EQ(Names().size(), 2u);
    EXPECT_EQ(Slurp(first), before1);
    EXPECT_EQ(Slurp(second), before2);
    EXPECT_EQ(hidden(), 0);
}

TEST_F(LibraryTest, TheSameRecordingIsSavedOnceAndEditsRewriteItsFile) {
    Exercise e = Short(Child::Girl, 1);
    e.title.clear();
    std::string path;
    bool already = true;
    ASSERT_EQ(SaveExercise(e, At(9, 5, 0), &path, &already), "");
    EXPECT_FALSE(already);
    // Saved again, under another title even, a minute later: the same file.
    e.title = "Other";
    std::string again;
    ASSERT_EQ(SaveExercise(e, At(9, 6, 0), &again, &already), "");
    EXPECT_TRUE(already);
    EXPECT_EQ(again, path);
    EXPECT_EQ(Names().size(), 1u);
    Exercise read;
    ASSERT_EQ(LoadExercise(path, &read), "");
    EXPECT_EQ(read.title, "Girl, 2026-12-07 09:05");

    read.title = "Lèvres, semaine 2";
    read.note = "Le soir";
    read.repeat = 2, read.holdSeconds = 1;
    ASSERT_EQ(UpdateExercise(path, read), "");
    Exercise edited;
    ASSERT_EQ(LoadExercise(path, &edited), "");
    EXPECT_TRUE(edited == read);
    EXPECT_EQ(Names().size(), 1u);
    // A rename that the reader would refuse leaves the file as it was.
    Exercise bad = read;
    bad.title = std::string(81, 'a');
    EXPECT_NE(UpdateExercise(path, bad).find("more than 80"), std::string::npos);
    ASSERT_EQ(LoadExercise(path, &edited), "");
    EXPECT_TRUE(edited == read);

    // A format 1 file copied in by hand takes its title from when it last changed.
    std::string v1 = WriteExercise(Short(Child::Boy, 7));
    size_t title = v1.find("# What it"), face = v1.find("# The face");
    v1 = "grimalou-exercise 1" + v1.substr(v1.find('\n'), title - v1.find('\n')) + v1.substr(face);
    for (const char* later : {"jaw 0\n", "openTongue 1\n"}) v1.erase(v1.find(later), std::strlen(later));
    Touch(folder + "/old.grimalou", v1, 0);
    ASSERT_EQ(LoadExercise(folder + "/old.grimalou", &read), "");
    LocalTime now = LocalTimeNow();
    EXPECT_EQ(read.title.substr(0, 9), "Boy, " + std::to_string(now.year));
    EXPECT_EQ(read.repeat, 1);
    EXPECT_EQ(read.holdSeconds, HOLD_DEFAULT_SECONDS);
}

TEST_F(LibraryTest, LoadNamesWhatIsWrong) {
    Exercise e;
    EXPECT_NE(LoadExercise(dir + "/absent.grimalou", &e).find("No such file or directory"), std::string::npos);
    std::string huge = WriteExercise(Short(Child::Boy, 1)) + std::string(EXERCISE_MAX_BYTES, '#');
    Touch(dir + "/huge.grimalou", huge, 0);
    EXPECT_NE(LoadExercise(dir + "/huge.grimalou", &e).find("larger than 1 MiB"), std::string::npos);
    Touch(dir + "/cut.grimalou", WriteExercise(Short(Child::Boy, 1)).substr(0, 600), 0);
    EXPECT_NE(LoadExercise(dir + "/cut.grimalou", &e).find("cut short"), std::string::npos);
}

}  // namespace
