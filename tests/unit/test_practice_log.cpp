// The practice log: CSV records that read back as written, a damaged line
// named without losing the others, the days of the last week, and appends
// that a killed process leaves whole.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/exercise/practice_log.h"

namespace fs = std::filesystem;

namespace {

struct PracticeLogTest : ::testing::Test {
    std::string dir;
    void SetUp() override {
        dir = (fs::temp_directory_path() / ("grimalou-log-" + std::to_string(getpid()))).string();
        fs::remove_all(dir);
        setenv("XDG_DATA_HOME", dir.c_str(), 1);
    }
    void TearDown() override {
        unsetenv("XDG_DATA_HOME");
        std::error_code ignored;
        fs::permissions(dir + "/grimalou", fs::perms::owner_all, fs::perm_options::add, ignored);
        fs::remove_all(dir);
    }
    std::string Text() {
        std::ifstream in(PracticeLogPath(), std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }
};

PracticeRow Row(int day, const std::string& title, int done) {
    PracticeRow row;
    row.when = LocalTime{2026, 12, day, 18, 5, 9};
    row.title = title;
    row.file = "2026-12-01_10-00-00_girl.grimalou";
    row.child = Child::Boy;
    row.asked = 3;
    row.done = done;
    return row;
}

TEST_F(PracticeLogTest, RowsReadBackAsWrittenAndADamagedLineIsNamed) {
    std::vector<PracticeRow> rows;
    std::string text;
    EXPECT_EQ(LoadPracticeLog(&rows, &text), "");  // never written: empty
    EXPECT_TRUE(rows.empty());
    const std::string awkward = " \"Lèvres\", semaine 2 ";
    ASSERT_EQ(AppendPractice(Row(1, awkward, 3)), "");
    PracticeRow watched = Row(7, "plain", 0);
    watched.matched = 0;
    ASSERT_EQ(AppendPractice(watched), "");
    EXPECT_EQ(Text(),
              "date,title,file,child,asked,done,matched\r\n"
              "2026-12-01T18:05:09,\" \"\"Lèvres\"\", semaine 2 \",2026-12-01_10-00-00_girl.grimalou,boy,3,3,\r\n"
              "2026-12-07T18:05:09,plain,2026-12-01_10-00-00_girl.grimalou,boy,3,0,0\r\n");
    ASSERT_EQ(LoadPracticeLog(&rows, &text), "");
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].title, awkward);
    EXPECT_EQ(rows[0].child, Child::Boy);
    EXPECT_EQ(rows[0].matched, -1);
    EXPECT_EQ(rows[1].done, 0);
    EXPECT_EQ(rows[1].matched, 0);
    // A log begun before the matched column reads as it was.
    EXPECT_EQ(ReadPracticeLog("date,title,file,child,asked,done\r\n2026-12-02T10:00:00,a,b,boy,2,1\r\n", &rows), "");
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].done, 1);

    // Damage in the middle is named; the rows around it still count.
    for (const char* damage : {"2026-12-0x,a,b,boy,1,1\r\n", "\"open,a,b,boy,1,1\r\n", "2026-12-02T10:00:00,a,b,cat,1,1\r\n",
                               "2026-12-02T10:00:00,a,b,boy,1\r\n", "2026-12-02T10:00:00,a,b,boy,1,1,x\r\n"}) {
        std::string lines = "date,title,file,child,asked,done\r\n" + PracticeRecord(Row(1, "a", 1)) + damage +
                            PracticeRecord(Row(2, "b", 2)) + "2026-12-03T1";
        EXPECT_EQ(ReadPracticeLog(lines, &rows), "line 3 is damaged") << damage;
        EXPECT_EQ(rows.size(), 2u) << damage;
    }
    EXPECT_NE(ReadPracticeLog("date,titel\r\n", &rows).find("first line is not the header"), std::string::npos);

    // An unwritable log is named, with why.
    fs::permissions(dir + "/grimalou", fs::perms::owner_read | fs::perms::owner_exec);
    fs::remove(PracticeLogPath());
    if (geteuid() != 0) {
        std::string problem = AppendPractice(Row(8, "x", 1));
        EXPECT_NE(problem.find("the practice log " + PracticeLogPath() + " cannot be written"), std::string::npos);
        EXPECT_NE(problem.find("Permission denied"), std::string::npos);
    }
}

TEST_F(PracticeLogTest, DaysCountOncePerDayWithinTheLastSeven) {
    std::vector<PracticeRow> rows = {Row(1, "a", 1), Row(2, "a", 1), Row(2, "a", 0), Row(8, "a", 3),
                                     Row(9, "a", 3), Row(9, "renamed", 0), Row(10, "b", 1)};
    rows[5].file = "other.grimalou";
    LocalTime today{2026, 12, 8, 9, 0, 0};
    // The 2nd to the 8th: the 2nd (twice) and the 8th; the 9th is after today.
    EXPECT_EQ(DaysPractised(rows, "a", "none", today), 2);
    // Its file name counts too, whatever the title was then.
    EXPECT_EQ(DaysPractised(rows, "z", "2026-12-01_10-00-00_girl.grimalou", LocalTime{2026, 12, 10, 0, 0, 0}), 3);
    // Across the end of a month.
    rows = {Row(30, "a", 1)};
    rows[0].when.month = 11;
    EXPECT_EQ(DaysPractised(rows, "a", "", LocalTime{2026, 12, 6, 0, 0, 0}), 1);
    EXPECT_EQ(DaysPractised(rows, "a", "", LocalTime{2026, 12, 7, 0, 0, 0}), 0);
}

TEST_F(PracticeLogTest, AKillDuringAppendsLeavesOnlyWholeRows) {
    ASSERT_EQ(AppendPractice(Row(1, "first", 1)), "");
    std::string longTitle(80, 'w');
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        for (;;) AppendPractice(Row(2, longTitle, 2));
    }
    // Killed once it has written a good number of rows, whenever that is.
    while (fs::file_size(PracticeLogPath()) < 20000) usleep(1000);
    kill(child, SIGKILL);
    int status = 0;
    waitpid(child, &status, 0);
    std::string text = Text();
    std::vector<PracticeRow> rows;
    EXPECT_EQ(ReadPracticeLog(text, &rows), "");
    EXPECT_GT(rows.size(), 100u);
    EXPECT_EQ(text.substr(text.size() - 2), "\r\n");
    for (size_t i = 1; i < rows.size(); ++i) EXPECT_EQ(rows[i].title, longTitle);
}

}  // namespace
