#include "host/open_link.h"

#include <spawn.h>
#include <sys/wait.h>

#include <vector>

extern char** environ;

namespace {

// Only the children started here are waited for: a process-wide SIGCHLD
// setting would take exit statuses away from any other code that waits.
std::vector<pid_t>& Openers() {
    static std::vector<pid_t> pids;
    return pids;
}

}  // namespace

void StartLinkOpener(const std::string& url) {
    ReapLinkOpeners();
    std::string program = "xdg-open";
    std::string argument = url;
    char* argv[] = {&program[0], &argument[0], nullptr};
    pid_t pid;
    if (posix_spawnp(&pid, "xdg-open", nullptr, nullptr, argv, environ) == 0) Openers().push_back(pid);
}

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
