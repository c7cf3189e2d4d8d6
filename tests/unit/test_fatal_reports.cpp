// Fatal reports checked on a real child process, byte for byte on both output
// streams, with the exit status.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

namespace {

struct Outcome {
    std::string out, err;
    int status = -1;  // exit status, or 1000 + signal
};

// Runs the child with `args`. `respond` is called with the standard output read
// so far and returns the next input to write ("" to wait for more output); when
// it returns nullptr the input is closed. A child that hangs is killed.
Outcome RunChild(const std::vector<std::string>& args,
                 const std::function<const char*(const std::string&)>& respond) {
    int in[2], out[2], err[2];
    EXPECT_EQ(pipe(in), 0);
    EXPECT_EQ(pipe(out), 0);
    EXPECT_EQ(pipe(err), 0);
    pid_t pid = fork();
    if (pid == 0) {
        dup2(in[0], 0);
        dup2(out[1], 1);
        dup2(err[1], 2);
        for (int fd : {in[0], in[1], out[0], out[1], err[0], err[1]}) close(fd);
        std::vector<char*> argv;
        argv.push_back(const_cast<char*>(FATAL_CHILD));
        for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        execv(FATAL_CHILD, argv.data());
        _exit(120);
    }
    close(in[0]);
    close(out[1]);
    close(err[1]);
    signal(SIGPIPE, SIG_IGN);
    Outcome o;
    bool input_open = true, out_open = true, err_open = true;
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while ((out_open || err_open) && std::chrono::steady_clock::now() < deadline) {
        if (input_open) {
            const char* next = respond(o.out);
            if (!next) {
                close(in[1]);
                input_open = false;
            } else if (*next) {
                ssize_t n = write(in[1], next, std::strlen(next));
                (void)n;
            }
        }
        pollfd fds[2] = {{out[0], POLLIN, 0}, {err[0], POLLIN, 0}};
        poll(fds, 2, 100);
        char buf[4096];
        if (out_open && (fds[0].revents & (POLLIN | POLLHUP))) {
            ssize_t n = read(out[0], buf, sizeof buf);
            if (n > 0) o.out.append(buf, n); else out_open = false;
        }
        if (err_open && (fds[1].revents & (POLLIN | POLLHUP))) {
            ssize_t n = read(err[0], buf, sizeof buf);
            if (n > 0) o.err.append(buf, n); else err_open = false;
        }
    }
    if (out_open || err_open) kill(pid, SIGKILL);
    if (input_open) close(in[1]);
    close(out[0]);
    close(err[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    o.status = WIFEXITED(status) ? WEXITSTATUS(status) : 1000 + WTERMSIG(status);
    return o;
}

// Writes `input` once, then closes standard input.
Outcome RunOnce(const std::vector<std::string>& args, const std::string& input = "") {
    bool sent = false;
    return RunChild(args, [&](const std::string&) -> const char* {
        if (sent) return nullptr;
        sent = true;
        return input.c_str();
    });
}

const std::string kMarker = "{{~~(null)~~}}\n";
std::string Report(const std::string& message) { return "Ravlen Runtime Error : " + message + "\n\n" + "\n"; }

TEST(RuntimeErrors, EmptyMessageEndsQuietlyWithStatusZero) {
    Outcome o = RunOnce({"empty"});
    EXPECT_EQ(o.out, "");
    EXPECT_EQ(o.err, "");
    EXPECT_EQ(o.status, 0);
}

TEST(RuntimeErrors, ReportAtEndOfInputPrintsOnceAndFails) {
    Outcome o = RunOnce({"message", "Can't load default font"});
    EXPECT_EQ(o.out, Report("Can't load default font"));
    EXPECT_EQ(o.err, kMarker);
    EXPECT_EQ(o.status, 255);
}

TEST(DebuggerPrompt, RepeatCommandsPrintTheReportAgain) {
    Outcome o = RunOnce({"message", "boom"}, "r\n?\ns\n");
    EXPECT_EQ(o.out, Report("boom") + Report("boom") + Report("boom"));
    EXPECT_EQ(o.err, kMarker + kMarker + kMarker);
    EXPECT_EQ(o.status, 255);
}

TEST(DebuggerPrompt, QuitEndsWithStatusZero) {
    Outcome o = RunOnce({"message", "boom"}, "q\n");
    EXPECT_EQ(o.out, Report("boom"));
    EXPECT_EQ(o.status, 0);
}

TEST(DebuggerPrompt, UnknownCommandsAndEmptyLinesAreComplaints) {
    Outcome x = RunOnce({"message", "boom"}, "x\n");
    EXPECT_EQ(x.out, Report("boom") + "????? x ?????");
    EXPECT_EQ(x.status, 255);
    Outcome empty = RunOnce({"message", "boom"}, "\n");
    EXPECT_EQ(empty.out, Report("boom") + "?????  ?????");
    EXPECT_EQ(empty.status, 255);
}

TEST(DebuggerPrompt, OverlongAndUnterminatedLinesEndTheProcess) {
    Outcome longline = RunOnce({"message", "boom"}, "q" + std::string(300, 'a') + "\nq\n");
    EXPECT_EQ(longline.out, Report("boom"));
    EXPECT_EQ(longline.status, 255);
    Outcome unterminated = RunOnce({"message", "boom"}, "q");
    EXPECT_EQ(unterminated.status, 255);
}

TEST(DebuggerPrompt, AddressCommandAcceptsOnlyLiveObjects) {
    std::string address;
    int step = 0;
    Outcome o = RunChild({"object"}, [&](const std::string& out) -> const char* {
        size_t at = out.find("object ");
        size_t end = out.find('\n', at);
        if (step == 0) {
            if (at == std::string::npos || end == std::string::npos) return "";
            address = "@" + out.substr(at + 7, end - at - 7) + "\n@0\n@1234\n@zz\nq\n";
            step = 1;
            return address.c_str();
        }
        return nullptr;
    });
    ASSERT_FALSE(address.empty());
    EXPECT_EQ(o.out.substr(o.out.size() - std::string("+Thing\n\n\n\n\n").size()), "+Thing\n\n\n\n\n")
        << "the live object's text, then three empty texts";
    EXPECT_EQ(o.status, 0);
}

TEST(RuntimeErrors, MessagesPrintTheirLowBytesAsUtf8) {
    Outcome o = RunOnce({"wide"});
    EXPECT_EQ(o.out, Report("a\xC3\xA9" "Az"));
}

TEST(RuntimeErrors, UncaughtThrowableReportsWithoutPrompting) {
    Outcome o = RunOnce({"uncaught"}, "q\n");
    EXPECT_EQ(o.out, "Ravlen Runtime Error : Uncaught Ravlen Exception\n");
    EXPECT_EQ(o.err, "");
    EXPECT_EQ(o.status, 255);
}

TEST(FaultTranslator, ProcessorFaultsBecomeReports) {
    for (auto [mode, text] : {std::pair{"divide", "Integer divide by zero"},
                              std::pair{"null", "Memory access violation"},
                              std::pair{"overflow", "Stack overflow"}}) {
        Outcome o = RunOnce({mode});
        EXPECT_EQ(o.out, Report(text)) << mode;
        EXPECT_EQ(o.err, kMarker) << mode;
        EXPECT_EQ(o.status, 255) << mode;
    }
    Outcome repeated = RunOnce({"divide"}, "r\nq\n");
    EXPECT_EQ(repeated.out, Report("Integer divide by zero") + Report("Integer divide by zero"));
    EXPECT_EQ(repeated.status, 0);
}

}  // namespace
