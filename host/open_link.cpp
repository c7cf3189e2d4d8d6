#include "host/open_link.h"

#include <spawn.h>
#include <sys/wait.h>

#include <cerrno>
#include <cstring>
#include <vector>

extern char** environ;

namespace {

// Only the children started here are waited for: a process-wide SIGCHLD
// setting would take exit statuses away from any other code that waits.
std::vector<pid_t>& Openers() {
    static std::vector<pid_t> pids;
    return pids;
}

// 0, or the error number of a program that could not start.
int Spawn(const std::vector<std::string>& arguments, pid_t* pid) {
    std::vector<std::string> copies = arguments;
    std::vector<char*> argv;
    for (std::string& a : copies) argv.push_back(&a[0]);
    argv.push_back(nullptr);
    return posix_spawnp(pid, argv[0], nullptr, nullptr, argv.data(), environ);
}

}  // namespace

std::string StartProgram(const std::vector<std::string>& arguments) {
    ReapLinkOpeners();
    pid_t pid;
    int error = Spawn(arguments, &pid);
    if (error != 0) return arguments[0] + " cannot be started: " + std::strerror(error);
    Openers().push_back(pid);
    return std::string();
}

int RunProgram(const std::vector<std::string>& arguments) {
    pid_t pid;
    if (Spawn(arguments, &pid) != 0) return -1;
    int status = 0;
    while (waitpid(pid, &status, 0) < 0)
        if (errno != EINTR) return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string FileUrl(const std::string& path) {
    std::string url = "file://";
    const char* hex = "0123456789ABCDEF";
    for (unsigned char c : path) {
        bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                     std::strchr("/-._~", c) != nullptr;
        if (plain) url += static_cast<char>(c);
        else url += std::string("%") + hex[c >> 4] + hex[c & 15];
    }
    return url;
}

void StartLinkOpener(const std::string& url) { StartProgram({"xdg-open", url}); }

void ReapLinkOpeners() {
    std::vector<pid_t>& pids = Openers();
    for (size_t i = 0; i < pids.size();) {
        pid_t done = waitpid(pids[i], nullptr, WNOHANG);
        if (done == pids[i] || done < 0) {
            pids.erase(pids.begin() + static_cast<long>(i));
        } else {
            ++i;
        }
    }
}

int PendingLinkOpeners() { return static_cast<int>(Openers().size()); }
