#include "app/exercise/practice_log.h"

#include <cstdio>
#include <cstring>
#include <ctime>

#include "app/exercise/exercise.h"

namespace {

const char* const kHeader = "date,title,file,child,asked,done,matched\r\n";
// A log begun before the mirror's column keeps its header and its rows.
const char* const kOldHeader = "date,title,file,child,asked,done\r\n";
constexpr int kColumns = 7, kOldColumns = 6;

std::string Field(const std::string& text) {
    bool quoted = text.find_first_of(",\"\r\n") != std::string::npos ||
                  (!text.empty() && (text.front() == ' ' || text.back() == ' '));
    if (!quoted) return text;
    std::string out = "\"";
    for (char c : text) out += c == '"' ? std::string("\"\"") : std::string(1, c);
    return out + "\"";
}

// The fields of one record, false when it is not one.
bool SplitRecord(const std::string& line, std::vector<std::string>* fields) {
    fields->assign(1, std::string());
    bool quoted = false, wasQuoted = false;
    for (size_t i = 0; i < line.size(); ++i) {
        char c = line[i];
        std::string& field = fields->back();
        if (quoted) {
            if (c != '"') field += c;
            else if (i + 1 < line.size() && line[i + 1] == '"') field += '"', ++i;
            else quoted = false;
        } else if (c == '"') {
            if (!field.empty() || wasQuoted) return false;
            quoted = wasQuoted = true;
        } else if (c == ',') {
            fields->emplace_back();
            wasQuoted = false;
        } else {
            if (wasQuoted) return false;
            field += c;
        }
    }
    return !quoted;
}

bool ParseCount(const std::string& text, int* value) {
    if (text.empty() || text.size() > 3 || text.find_first_not_of("0123456789") != std::string::npos) return false;
    *value = std::stoi(text);
    return true;
}

bool ParseWhen(const std::string& text, LocalTime* t) {
    int used = 0;
    return std::sscanf(text.c_str(), "%4d-%2d-%2dT%2d:%2d:%2d%n", &t->year, &t->month, &t->day, &t->hour, &t->minute,
                       &t->second, &used) == 6 &&
           used == static_cast<int>(text.size());
}

// Days since 1970 of a calendar date.
long DayNumber(const LocalTime& t) {
    std::tm day = {};
    day.tm_year = t.year - 1900, day.tm_mon = t.month - 1, day.tm_mday = t.day, day.tm_hour = 12;
    return static_cast<long>(timegm(&day) / 86400);
}

}  // namespace

std::string PracticeLogPath() {
    std::string data = UserDataFolder();
    return data.empty() ? data : data + "/grimalou/practice-log.csv";
}

const char* PracticeRecordHeader() { return kHeader; }

std::string PracticeRecord(const PracticeRow& row) {
    char when[32];
    const LocalTime& t = row.when;
    std::snprintf(when, sizeof when, "%04d-%02d-%02dT%02d:%02d:%02d", t.year, t.month, t.day, t.hour, t.minute,
                  t.second);
    return std::string(when) + "," + Field(row.title) + "," + Field(row.file) + "," + ChildWord(row.child) + "," +
           std::to_string(row.asked) + "," + std::to_string(row.done) + "," +
           (row.matched < 0 ? std::string() : std::to_string(row.matched)) + "\r\n";
}

std::string AppendPractice(const PracticeRow& row) {
    std::string path = PracticeLogPath();
    if (path.empty()) return "there is no folder for the practice log: neither XDG_DATA_HOME nor HOME is set";
    std::string problem = MakeFolders(path.substr(0, path.find_last_of('/')));
    if (problem.empty()) problem = AppendToFile(path, kHeader, PracticeRecord(row));
    return problem.empty() ? problem : "the practice log " + path + " cannot be written: " + problem;
}

std::string ReadPracticeLog(const std::string& text, std::vector<PracticeRow>* rows) {
    rows->clear();
    std::string problem;
    int lineNumber = 0;
    for (size_t start = 0; start < text.size();) {
        size_t end = text.find('\n', start);
        bool cut = end == std::string::npos;
        std::string line = text.substr(start, cut ? std::string::npos : end - start);
        start = cut ? text.size() : end + 1;
        ++lineNumber;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (lineNumber == 1 && (line + "\r\n" == kHeader || line + "\r\n" == kOldHeader)) continue;
        std::vector<std::string> fields;
        PracticeRow row;
        bool child = false;
        bool whole = !cut && SplitRecord(line, &fields) &&
                     (fields.size() == kColumns || fields.size() == kOldColumns) &&
                     ParseWhen(fields[0], &row.when) && ParseCount(fields[4], &row.asked) &&
                     ParseCount(fields[5], &row.done) &&
                     (fields.size() == kOldColumns || fields[6].empty() || ParseCount(fields[6], &row.matched));
        for (Child c : {Child::Girl, Child::Boy})
            if (whole && fields[3] == ChildWord(c)) row.child = c, child = true;
        if (whole && child) {
            row.title = fields[1];
            row.file = fields[2];
            rows->push_back(row);
        } else if (problem.empty()) {
            problem = lineNumber == 1 ? "its first line is not the header '" + std::string(kHeader, std::strlen(kHeader) - 2) + "'"
                                      : "line " + std::to_string(lineNumber) + " is damaged";
        }
    }
    return problem;
}

std::string LoadPracticeLog(std::vector<PracticeRow>* rows, std::string* text) {
    rows->clear();
    text->clear();
    std::string path = PracticeLogPath();
    if (path.empty() || FileModified(path) == 0) return std::string();
    std::string problem = ReadFileBytes(path, 64 << 20, text);
    if (problem.empty()) problem = ReadPracticeLog(*text, rows);
    return problem.empty() ? problem : "the practice log " + path + ": " + problem;
}

int DaysPractised(const std::vector<PracticeRow>& rows, const std::string& title, const std::string& file,
                  const LocalTime& today) {
    long last = DayNumber(today);
    bool seen[7] = {};
    for (const PracticeRow& row : rows) {
        long ago = last - DayNumber(row.when);
        if (ago >= 0 && ago < 7 && (row.title == title || row.file == file)) seen[ago] = true;
    }
    int days = 0;
    for (bool day : seen) days += day;
    return days;
}
