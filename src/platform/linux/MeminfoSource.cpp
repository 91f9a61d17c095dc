#include "platform/linux/MeminfoSource.h"

#include <fcntl.h>
#include <sys/sysinfo.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string_view>
#include <utility>

#include "platform/Errors.h"
#include "platform/linux/Meminfo.h"

namespace vk::lnx {

MeminfoSource::MeminfoSource(std::string path)
    : path_(std::move(path)), checkSysinfo_(path_ == "/proc/meminfo") {}

namespace {

struct Totals {
    std::uint64_t phys = 0;
    std::uint64_t pageFile = 0;
};

bool sysinfoTotals(Totals& totals) {
    struct sysinfo info {};
    if (::sysinfo(&info) != 0) return false;
    const std::uint64_t unit = info.mem_unit ? info.mem_unit : 1;
    totals.phys = static_cast<std::uint64_t>(info.totalram) * unit;
    totals.pageFile = totals.phys + static_cast<std::uint64_t>(info.totalswap) * unit;
    return true;
}

}  // namespace

void MeminfoSource::queryTotals(MemoryStatus& record) {
    Totals totals;
    if (!sysinfoAgrees_ || !sysinfoTotals(totals)) {
        query(record);
        return;
    }
    record.totalPhys = totals.phys;
    record.totalPageFile = totals.pageFile;
}

MeminfoSource::~MeminfoSource() {
    if (fd_ >= 0) ::close(fd_);
}

void MeminfoSource::query(MemoryStatus& record) {
    if (fd_ < 0) {
        // Close-on-exec: programs the user starts from us must not inherit it.
        fd_ = ::open(path_.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd_ < 0) {
            const int error = errno;  // before building the message, which may allocate
            throw ServiceError("cannot open " + path_ + ": " + std::strerror(error));
        }
    }
    std::size_t got = 0;
    while (got < text_.size()) {
        const ssize_t n =
            ::pread(fd_, text_.data() + got, text_.size() - got, static_cast<off_t>(got));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            const int error = errno;
            ::close(fd_);
            fd_ = -1;  // reopened by the next query
            throw ServiceError("cannot read " + path_ + ": " + std::strerror(error));
        }
        const std::size_t asked = text_.size() - got;
        got += static_cast<std::size_t>(n);
        // A short read is the end of the text: the kernel hands out the whole
        // text at once, and a regular file only reads short at its end. This
        // saves a second system call per figure.
        if (static_cast<std::size_t>(n) < asked) break;
    }
    record = parseMeminfo(std::string_view(text_.data(), got));
    // The first full read, and every 500th after it (about every five
    // seconds of refreshing), checks the cheap totals against the text. A
    // swap area added between the two calls can make them differ once; that
    // only costs the cheap path, never a wrong figure.
    constexpr int kReadsBetweenChecks = 500;
    if (checkSysinfo_ && (!sysinfoAgrees_ || ++readsSinceCheck_ >= kReadsBetweenChecks)) {
        readsSinceCheck_ = 0;
        Totals totals;
        sysinfoAgrees_ = sysinfoTotals(totals) && totals.phys == record.totalPhys &&
                         totals.pageFile == record.totalPageFile;
        checkSysinfo_ = sysinfoAgrees_;
    }
}

}  // namespace vk::lnx
