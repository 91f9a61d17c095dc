#include "platform/linux/LinuxPrograms.h"

#include <fcntl.h>
#include <signal.h>
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

// The started program gets a clean slate: this process may block signals
// for its own handling or ignore some, and both would be inherited.
void resetSignals() {
    sigset_t all;
    ::sigemptyset(&all);
    ::sigprocmask(SIG_SETMASK, &all, nullptr);
    struct sigaction byDefault {};
    byDefault.sa_handler = SIG_DFL;
    for (int signal = 1; signal < NSIG; ++signal) ::sigaction(signal, &byDefault, nullptr);
    // Descriptors this process left inheritable stay with it.
    ::close_range(3, ~0u, CLOSE_RANGE_CLOEXEC);
}

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
    const pid_t child = ::fork();
    if (child < 0) {
        const int error = errno;
        ::close(report[0]);
        ::close(report[1]);
        throw ServiceError(std::string("cannot start a program: ") + std::strerror(error));
    }
    if (child == 0) {
        ::close(report[0]);
        ::setsid();  // out of this program's session: its signals do not reach the tool
        const pid_t program = ::fork();
        if (program < 0) reportAndExit(report[1], errno);
        if (program > 0) ::_exit(0);
        resetSignals();
        ::execv(argv[0], argv);
        reportAndExit(report[1], errno);
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
