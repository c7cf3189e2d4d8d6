// The user's exercise library: one file per saved exercise in
// $XDG_DATA_HOME/grimalou/exercises/ (~/.local/share/grimalou/exercises/ by
// default), named from the date, the time and the child, as
// "2026-12-07_16-31-02_girl.grimalou" ("..._girl-2.grimalou" for a second
// save in the same second). The folder is made by the first save.
//
// Each operation returns "" on success or an error text; the text of a
// refused file does not carry the file's name, which the caller adds.
#pragma once

#include <string>
#include <vector>

#include "app/exercise/exercise.h"
#include "host/files.h"

struct LibraryEntry {
    std::string path;  // the file, to load or delete
    std::string name;  // its name in the folder
    // When it was saved, from its name; a file named otherwise (one copied
    // in by hand) has its modification time.
    LocalTime saved;
    bool childKnown = false;  // the name tells the child
    Child child = Child::Girl;
};

// The library's folder, "" when the user has no home.
std::string ExerciseFolder();

// Saves the exercise as a new file of the library named from `when`
// (LocalTimeNow() for a save made now), or named `stem` when it is not
// empty (a kept homework keeps its name), without ever leaving a half file
// or touching another; `*path` gets the file's path. An exercise that fails
// CheckExercise is refused and nothing is written; one without a title
// gets its default title from `when`. When the library
// already holds the same recording, nothing is written either: `*path` is
// that file's and `*already` is set.
std::string SaveExercise(const Exercise& exercise, const LocalTime& when, std::string* path, bool* already = nullptr,
                         const std::string& stem = std::string());

// Writes an exercise of the library again in place, after its title, note
// or prescription changed.
std::string UpdateExercise(const std::string& path, const Exercise& exercise);

// The library's exercises, newest first, from the folder's listing alone:
// no file is opened. A library never saved to is empty, not an error.
std::string ListExercises(std::vector<LibraryEntry>* entries);

// Reads an exercise file, from the library or anywhere else. A format 1 file
// gets its default title from its child and the date of its name, or of
// its last change.
std::string LoadExercise(const std::string& path, Exercise* exercise);

// What a person is told when an exercise file is refused for `problem` (a
// reader's or a file's error): what happened in plain words, and what to do.
const char* RefusedFileAdvice(const std::string& problem);

// Deletes a file of the library (a path from ListExercises).
std::string DeleteExercise(const std::string& path);
