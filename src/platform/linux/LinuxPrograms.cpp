#include "platform/linux/LinuxPrograms.h"

#include <fcntl.h>
#include <pthread.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

#include "platform/Errors.h"

namespace vk {
namespace {

// From here on the code runs in a child of a possibly multi-threaded
// process: only async-signal-safe calls, no allocation.
[[noreturn]] void reportAndExit(int pipe, int error) {
    while (::write(pipe, &error, sizeof error) < 0 && errno == EINTR) {
    }
    ::_exit(127);
}

// Keeps descriptors this process left inheritable from the started program.
// Where close_range cannot mark them (before Linux 5.11), each one up to
// the descriptor limit is marked by itself.
void closeOnExecFrom3() {
    if (::close_range(3, ~0u, CLOSE_RANGE_CLOEXEC) == 0) return;
    struct rlimit files {};
    const rlim_t last = ::getrlimit(RLIMIT_NOFILE, &files) == 0 && files.rlim_cur != RLIM_INFINITY
                            ? files.rlim_cur
                            : 65536;
    for (rlim_t fd = 3; fd < last; ++fd) ::fcntl(static_cast<int>(fd), F_SETFD, FD_CLOEXEC);
}

// The started program gets a clean slate: this process handles some signals
// and may ignore others, and both would be inherited. Every signal is
// still blocked here, so the dispositions are reset before any can arrive.
void resetSignals() {
    struct sigaction byDefault {};
    byDefault.sa_handler = SIG_DFL;
    for (int signal = 1; signal < NSIG; ++signal) ::sigaction(signal, &byDefault, nullptr);
    sigset_t none;
    ::sigemptyset(&none);
    ::sigprocmask(SIG_SETMASK, &none, nullptr);
}

// Blocks every signal in this thread while it lives. A forked child starts
// with this process's handlers: the end-request handler would write into
// the pipe this process watches, and the main window would close because
// the child got a signal.
class SignalsBlocked {
  public:
    SignalsBlocked() {
        sigset_t all;
        ::sigfillset(&all);
        ::pthread_sigmask(SIG_SETMASK, &all, &saved_);
    }
    ~SignalsBlocked() { ::pthread_sigmask(SIG_SETMASK, &saved_, nullptr); }
    SignalsBlocked(const SignalsBlocked&) = delete;
    SignalsBlocked& operator=(const SignalsBlocked&) = delete;

  private:
    sigset_t saved_{};
};

}  // namespace

bool LinuxPrograms::isOrdinaryFile(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    const std::size_t nameAt = slash == std::string::npos ? 0 : slash + 1;
    if (nameAt < path.size() && path[nameAt] == '.') return false;
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

// The program is started by a double fork: an intermediate child starts it in
// a new session and exits at once, and this process reaps that child right
// away. The program is then an orphan that the system's init (or the nearest
// subreaper) reaps when it ends, so no zombie is left behind and no SIGCHLD
// handling is needed here, which could disturb the toolkit's own children.
// Both children start with every signal blocked, and the program's signals
// are back to their defaults before it unblocks them.
// A close-on-exec pipe tells whether the exec worked: it closes without a word
// when the program runs, and carries errno when it could not be executed.
void LinuxPrograms::start(const std::string& path) {
    if (path.empty()) throw ServiceError("no program to start");
    std::vector<char> file(path.begin(), path.end());
    file.push_back('\0');
    char* const argv[] = {file.data(), nullptr};

    int report[2];
    if (::pipe2(report, O_CLOEXEC) != 0) {
        const int error = errno;  // before building the message, which may allocate
        throw ServiceError(std::string("cannot start a program: ") + std::strerror(error));
    }
    pid_t child = -1;
    int forkError = 0;
    {
        // Signals that arrive meanwhile wait, and reach this process's
        // handlers once the mask is back; the children never run them.
        const SignalsBlocked blocked;
        child = ::fork();
        if (child < 0) forkError = errno;
        if (child == 0) {
            ::close(report[0]);
            ::setsid();  // out of this program's session: its signals do not reach the tool
            const pid_t program = ::fork();
            if (program < 0) reportAndExit(report[1], errno);
            if (program > 0) ::_exit(0);
            closeOnExecFrom3();
            resetSignals();
            ::execv(argv[0], argv);
            reportAndExit(report[1], errno);
        }
    }
    if (child < 0) {
        ::close(report[0]);
        ::close(report[1]);
        throw ServiceError(std::string("cannot start a program: ") + std::strerror(forkError));
    }
    ::close(report[1]);
    while (::waitpid(child, nullptr, 0) < 0 && errno == EINTR) {
    }
    int error = 0;
    ssize_t got = 0;
    while ((got = ::read(report[0], &error, sizeof error)) < 0 && errno == EINTR) {
    }
    ::close(report[0]);
    if (got > 0) throw ServiceError("cannot start " + path + ": " + std::strerror(error));
}

}  // namespace vk
