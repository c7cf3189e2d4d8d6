// The practice log: one row for every prescription played at home, to its
// end or stopped on the way, in $XDG_DATA_HOME/grimalou/practice-log.csv (in
// the browser, the same folder in its storage), for the therapist to read.
//
// The file is CSV as RFC 4180 has it: a header line, then one record a line
// ending in CR LF, fields quoted when they hold a comma, a quote or a space
// at an end, quotes doubled inside. Each row is appended with one write that
// reaches the disk before the next, so a crash never leaves a cut row.
#pragma once

#include <string>
#include <vector>

#include "app/face/face.h"
#include "host/files.h"

struct PracticeRow {
    LocalTime when;      // local time, written as ISO 8601 "2026-12-07T16:31:02"
    std::string title;   // the exercise's
    std::string file;    // the name of its file, without the folder
    Child child = Child::Girl;
    int asked = 0;       // the prescription's repetitions
    int done = 0;        // those played to their end
    // Those the camera mirror saw the child match, -1 (an empty field) when
    // it did not watch. Logs written before it have no such column.
    int matched = -1;
};

// The log's path, "" when the user has no data folder.
std::string PracticeLogPath();
// The header line, with its line end.
const char* PracticeRecordHeader();
// The record of a row, with its line end.
std::string PracticeRecord(const PracticeRow& row);
// Appends one row; "" or what went wrong, naming the log.
std::string AppendPractice(const PracticeRow& row);
// The rows of the log text. A log never written is empty. Returns "" or what
// is wrong with the first damaged line; the rows before and after it are
// read all the same.
std::string ReadPracticeLog(const std::string& text, std::vector<PracticeRow>* rows);
// The log's rows, or "" rows and the problem (naming the log).
std::string LoadPracticeLog(std::vector<PracticeRow>* rows, std::string* text);
// On how many of the 7 days ending on `today` an exercise of this title or
// file name was played.
int DaysPractised(const std::vector<PracticeRow>& rows, const std::string& title, const std::string& file,
                  const LocalTime& today);
