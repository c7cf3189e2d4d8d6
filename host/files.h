// The user's own files: the data folder of the desktop's conventions,
// folders made on demand, bounded whole-file reads, listings, saving that
// never leaves a half file, and removal. Paths are UTF-8.
//
// Each operation that can fail returns "" on success, or an error text that
// names the cause and the path ("cannot create /x/y: Permission denied").
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// $XDG_DATA_HOME when it is set to an absolute path, else $HOME/.local/share;
// "" when neither can be had.
std::string UserDataFolder();
// $XDG_CONFIG_HOME when it is set to an absolute path, else $HOME/.config;
// "" when neither can be had.
std::string UserConfigFolder();

// Makes `path` and every missing folder above it.
std::string MakeFolders(const std::string& path);

// The file's bytes, or its first `maxBytes` bytes when it is longer: a
// reader that refuses more than some size reads one byte more than that.
std::string ReadFileBytes(const std::string& path, size_t maxBytes, std::string* bytes);

struct FolderEntry {
    std::string name;
    int64_t modified = 0;  // seconds since 1970
};
// The plain files of `folder` whose names end in `ending` and do not start
// with "." (unfinished saves are hidden files). In no particular order. A
// folder that does not exist is empty.
std::string ListFolder(const std::string& folder, const std::string& ending, std::vector<FolderEntry>* entries);

// Saves `bytes` as a new file of `folder` named `stem` + `ending`, or, when
// that name is taken, `stem` + "-2" + `ending`, "-3", ...: never over
// another file. The bytes go to a hidden temporary file in the folder,
// reach the disk, and only then take the name, so the folder shows either
// the whole file or nothing, whatever happens meanwhile (a crash, a full
// disk); a failed save removes its temporary file. `*name` gets the name
// the file took.
std::string SaveNewFile(const std::string& folder, const std::string& stem, const std::string& ending,
                        const std::string& bytes, std::string* name);

// Puts `bytes` in place of the file at `path` the same way: the whole new
// file or the old one, never a mix.
std::string ReplaceFile(const std::string& path, const std::string& bytes);

// Adds `bytes` at the end of the file (made when missing, with `header`
// before them) in one write that reaches the disk before this returns; a
// write the disk cuts short is taken back, so the file only ever grows by
// whole pieces.
std::string AppendToFile(const std::string& path, const std::string& header, const std::string& bytes);

// When the file was last changed, in seconds since 1970; 0 when it cannot
// be told.
int64_t FileModified(const std::string& path);

std::string RemoveFile(const std::string& path);

struct LocalTime {
    int year = 0, month = 0, day = 0;  // four digits, 1 to 12, 1 to 31
    int hour = 0, minute = 0, second = 0;
};
// The local date and time of `seconds` since 1970, and of now.
LocalTime LocalTimeOf(int64_t seconds);
LocalTime LocalTimeNow();
