#include "host/files.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

namespace {

// Unfinished saves: hidden, and without the ending any listing asks for.
const char* const kTempPrefix = ".save-";
// A temporary file this old was left by a save that died (a crash, a power
// cut); younger ones may belong to a save running right now in another
// window.
constexpr int64_t kStaleTempSeconds = 3600;
// Names tried per save before giving up: far more saves than one second holds.
constexpr int kMaxNameTries = 1000;

std::string Failure(const char* what, const std::string& path, int error) {
    return std::string("cannot ") + what + " " + path + ": " + std::strerror(error);
}

// Every byte, through interruptions and short writes.
bool WriteAll(int fd, const std::string& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<size_t>(n);
    }
    return true;
}

bool HasEnding(const std::string& name, const std::string& ending) {
    return name.size() >= ending.size() && name.compare(name.size() - ending.size(), ending.size(), ending) == 0;
}

// Removes what saves that died left behind.
void RemoveStaleTemps(const std::string& folder) {
    DIR* dir = opendir(folder.c_str());
    if (!dir) return;
    int64_t now = static_cast<int64_t>(std::time(nullptr));
    while (dirent* item = readdir(dir)) {
        std::string name = item->d_name;
        struct stat info;
        if (name.compare(0, std::strlen(kTempPrefix), kTempPrefix) != 0 ||
            fstatat(dirfd(dir), item->d_name, &info, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(info.st_mode))
            continue;
        if (now - static_cast<int64_t>(info.st_mtime) > kStaleTempSeconds) unlinkat(dirfd(dir), item->d_name, 0);
    }
    closedir(dir);
}

// A new hidden file of `folder`, its name in `*path`; -1 and errno when none.
int CreateTemp(const std::string& folder, std::string* path) {
    static unsigned counter = 0;
    for (int i = 0; i < kMaxNameTries; ++i) {
        *path = folder + "/" + kTempPrefix + std::to_string(getpid()) + "-" + std::to_string(++counter);
        // 0666 less the user's umask, as any other file the user makes.
        int fd = open(path->c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    errno = EEXIST;
    return -1;
}

// The bytes in a new temporary file of the folder, on the disk; a failure
// leaves no file.
std::string WriteTemp(const std::string& folder, const std::string& bytes, std::string* temp) {
    int fd = CreateTemp(folder, temp);
    if (fd < 0) return Failure("create a file in", folder, errno);
    // A full disk shows up at any of these, at the latest at fsync.
    bool written = WriteAll(fd, bytes) && fsync(fd) == 0;
    int error = errno;
    if (close(fd) != 0 && written) written = false, error = errno;
    if (written) return std::string();
    unlink(temp->c_str());
    return Failure("write", *temp, error);
}

// Gives the temporary file the name `target` unless a file has it; errno
// EEXIST then. The kernel's no-replace rename where the file system has it,
// else a hard link, which fails alike on a taken name. A file system without
// links is the browser's in-memory one, which only this one thread uses:
// nothing can take the name between a look and a plain rename.
bool NameWithoutReplacing(const std::string& temp, const std::string& target) {
#ifdef RENAME_NOREPLACE
    if (renameat2(AT_FDCWD, temp.c_str(), AT_FDCWD, target.c_str(), RENAME_NOREPLACE) == 0) return true;
    if (errno != EINVAL && errno != ENOSYS && errno != ENOTSUP) return false;
#endif
    if (link(temp.c_str(), target.c_str()) == 0) {
        unlink(temp.c_str());
        return true;
    }
    if (errno != EMLINK && errno != EPERM && errno != ENOSYS) return false;
    struct stat info;
    if (stat(target.c_str(), &info) == 0) {
        errno = EEXIST;
        return false;
    }
    return rename(temp.c_str(), target.c_str()) == 0;
}

}  // namespace

// A folder of the desktop's conventions: `variable` when it holds an
// absolute path (a relative one is invalid by the desktop's rules and
// ignored), else `underHome` in $HOME.
static std::string XdgFolder(const char* variable, const char* underHome) {
    const char* set = std::getenv(variable);
    if (set && set[0] == '/') return set;
    const char* home = std::getenv("HOME");
    if (home && home[0] == '/') return std::string(home) + underHome;
    return std::string();
}

std::string UserDataFolder() { return XdgFolder("XDG_DATA_HOME", "/.local/share"); }
std::string UserConfigFolder() { return XdgFolder("XDG_CONFIG_HOME", "/.config"); }

std::string MakeFolders(const std::string& path) {
    if (path.empty()) return "cannot make a folder without a name";
    for (size_t slash = path.find('/', 1);; slash = path.find('/', slash + 1)) {
        std::string part = path.substr(0, slash);
        struct stat info;
        if (stat(part.c_str(), &info) == 0) {
            if (!S_ISDIR(info.st_mode)) return Failure("make the folder", part, ENOTDIR);
        } else if (mkdir(part.c_str(), 0777) != 0 && errno != EEXIST) {
            return Failure("make the folder", part, errno);
        }
        if (slash == std::string::npos) return std::string();
    }
}

std::string ReadFileBytes(const std::string& path, size_t maxBytes, std::string* bytes) {
    int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return Failure("open", path, errno);
    std::string read;
    char piece[4096];
    while (read.size() < maxBytes) {
        ssize_t n = ::read(fd, piece, std::min(sizeof piece, maxBytes - read.size()));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            int error = errno;
            close(fd);
            return Failure("read", path, error);
        }
        if (n == 0) break;
        read.append(piece, static_cast<size_t>(n));
    }
    close(fd);
    *bytes = std::move(read);
    return std::string();
}

std::string ListFolder(const std::string& folder, const std::string& ending, std::vector<FolderEntry>* entries) {
    entries->clear();
    DIR* dir = opendir(folder.c_str());
    if (!dir) return errno == ENOENT ? std::string() : Failure("list", folder, errno);
    while (dirent* item = readdir(dir)) {
        std::string name = item->d_name;
        struct stat info;
        if (name[0] == '.' || !HasEnding(name, ending) || fstatat(dirfd(dir), item->d_name, &info, 0) != 0 ||
            !S_ISREG(info.st_mode))
            continue;
        entries->push_back({name, static_cast<int64_t>(info.st_mtime)});
    }
    closedir(dir);
    return std::string();
}

std::string SaveNewFile(const std::string& folder, const std::string& stem, const std::string& ending,
                        const std::string& bytes, std::string* name) {
    RemoveStaleTemps(folder);
    std::string temp;
    std::string problem = WriteTemp(folder, bytes, &temp);
    if (!problem.empty()) return problem;
    for (int n = 1; n <= kMaxNameTries; ++n) {
        std::string candidate = stem + (n == 1 ? std::string() : "-" + std::to_string(n)) + ending;
        if (NameWithoutReplacing(temp, folder + "/" + candidate)) {
            // The new name itself reaches the disk with the folder.
            int dirFd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
            if (dirFd >= 0) {
                fsync(dirFd);
                close(dirFd);
            }
            *name = candidate;
            return std::string();
        }
        if (errno != EEXIST) {
            int error = errno;
            unlink(temp.c_str());
            return Failure("name the file", folder + "/" + candidate, error);
        }
    }
    unlink(temp.c_str());
    return Failure("name the file", folder + "/" + stem + ending, EEXIST);
}

std::string ReplaceFile(const std::string& path, const std::string& bytes) {
    std::string folder = path.substr(0, path.find_last_of('/'));
    std::string temp;
    std::string problem = WriteTemp(folder, bytes, &temp);
    if (!problem.empty()) return problem;
    if (rename(temp.c_str(), path.c_str()) != 0) {
        int error = errno;
        unlink(temp.c_str());
        return Failure("replace", path, error);
    }
    return std::string();
}

std::string AppendToFile(const std::string& path, const std::string& header, const std::string& bytes) {
    int fd = open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0) return Failure("open", path, errno);
    struct stat info;
    if (fstat(fd, &info) != 0) {
        int error = errno;
        close(fd);
        return Failure("read the size of", path, error);
    }
    std::string piece = info.st_size == 0 ? header + bytes : bytes;
    // One write: a process killed meanwhile leaves the piece whole or absent.
    ssize_t n;
    do n = write(fd, piece.data(), piece.size());
    while (n < 0 && errno == EINTR);
    int error = n < 0 ? errno : ENOSPC;
    bool whole = n == static_cast<ssize_t>(piece.size());
    if (!whole && n > 0 && ftruncate(fd, info.st_size) != 0) error = errno;
    if (whole && fsync(fd) != 0) whole = false, error = errno;
    if (close(fd) != 0 && whole) whole = false, error = errno;
    return whole ? std::string() : Failure("write", path, error);
}

int64_t FileModified(const std::string& path) {
    struct stat info;
    return stat(path.c_str(), &info) == 0 ? static_cast<int64_t>(info.st_mtime) : 0;
}

std::string RemoveFile(const std::string& path) {
    if (unlink(path.c_str()) != 0) return Failure("remove", path, errno);
    return std::string();
}

LocalTime LocalTimeOf(int64_t seconds) {
    std::time_t time = static_cast<std::time_t>(seconds);
    std::tm local{};
    localtime_r(&time, &local);
    LocalTime t;
    t.year = local.tm_year + 1900, t.month = local.tm_mon + 1, t.day = local.tm_mday;
    t.hour = local.tm_hour, t.minute = local.tm_min, t.second = local.tm_sec;
    return t;
}

LocalTime LocalTimeNow() { return LocalTimeOf(static_cast<int64_t>(std::time(nullptr))); }
