#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "about/AboutDialog.h"
#include "platform/Errors.h"
#include "platform/linux/LinuxPrograms.h"
#include "platform/linux/LinuxRegistry.h"
#include "platform/sim/SimPlatform.h"

namespace vk {
namespace {

namespace fs = std::filesystem;

// A scratch directory with fake programs in it, removed afterwards.
struct Scratch {
    Scratch() {
        std::string pattern = (fs::temp_directory_path() / "vk-linux-XXXXXX").string();
        root = ::mkdtemp(pattern.data());
    }
    ~Scratch() { fs::remove_all(root); }
    fs::path dir(const std::string& name) {
        fs::create_directories(root / name);
        return root / name;
    }
    static fs::path file(const fs::path& at, const std::string& text, bool executable) {
        std::ofstream(at) << text;
        fs::permissions(at, executable ? fs::perms::owner_all : fs::perms::owner_read);
        return at;
    }
    fs::path root;
};

TEST(SystemInfoTool, FirstOfTheListOnThePath) {
    Scratch s;
    const fs::path a = s.dir("a"), b = s.dir("b"), c = s.dir("c");
    Scratch::file(a / "hardinfo", "", true);
    Scratch::file(b / "kinfocenter", "", true);
    Scratch::file(b / "hardinfo", "", true);
    Scratch::file(c / "kinfocenter", "", false);         // not executable
    fs::create_directories(c / "gnome-system-monitor");  // a directory
    const std::vector<std::string> tools = {"kinfocenter", "hardinfo", "gnome-system-monitor"};
    const std::vector<std::string> hardinfo = {"hardinfo"};
    const struct {
        const char* name;
        std::vector<std::string> tools;
        std::string path;
        std::string found;
    } rows[] = {
        {"list order wins over path order", tools, a.string() + ":" + b.string(),
         (b / "kinfocenter").string()},
        {"path order within one tool", hardinfo, b.string() + ":" + a.string(),
         (b / "hardinfo").string()},
        {"the other way round", hardinfo, a.string() + ":" + b.string(), (a / "hardinfo").string()},
        {"only what can run", tools, c.string(), ""},
        {"passes over what cannot run", tools, c.string() + ":" + a.string(),
         (a / "hardinfo").string()},
        {"trailing slash", tools, a.string() + "/", (a / "hardinfo").string()},
        {"empty path", tools, "", ""},
        // Relative and empty entries never supply a tool from the current directory.
        {"relative entries", tools, "::.:b:" + s.root.filename().string(), ""},
    };
    const fs::path before = fs::current_path();
    fs::current_path(s.root);
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        EXPECT_EQ(findSystemInfoTool(r.tools, r.path), r.found);
    }
    fs::current_path(before);
}

TEST(LinuxRegistryStandIn, AnswersThePathValueOnly) {
    Scratch s;
    const fs::path bin = s.dir("bin");
    const std::string tool = Scratch::file(bin / "mate-system-monitor", "", true).string();
    std::string searchPath = bin.string();
    LinuxRegistry registry([&] { return searchPath; });

    std::uint32_t handle = 0;
    EXPECT_EQ(registry.openKey(RegRoot::LocalMachine, kSysInfoFolderKey, kSysInfoKeyAccess, handle),
              RegResult::FileNotFound);
    EXPECT_EQ(registry.openKey(0x80000001u, kSysInfoKey, kSysInfoKeyAccess, handle),
              RegResult::FileNotFound);
    ASSERT_EQ(registry.openKey(RegRoot::LocalMachine, "software\\microsoft\\SHARED TOOLS\\msinfo",
                               kSysInfoKeyAccess, handle),
              RegResult::Success);

    std::vector<std::uint8_t> buffer(1024, 0xAA);
    std::uint32_t size = 1024, type = 0;
    ASSERT_EQ(registry.queryValue(handle, "path", type, buffer, size), RegResult::Success);
    EXPECT_EQ(type, RegType::String);
    ASSERT_EQ(size, tool.size() + 1);
    EXPECT_EQ(std::string(buffer.begin(), buffer.begin() + tool.size()), tool);
    EXPECT_EQ(buffer[tool.size()], 0);

    size = 1024;
    EXPECT_EQ(registry.queryValue(handle, "MSINFO", type, buffer, size), RegResult::FileNotFound);
    size = 4;
    EXPECT_EQ(registry.queryValue(handle, "PATH", type, buffer, size), RegResult::MoreData);
    searchPath = "/nonexistent-vk";
    size = 1024;
    EXPECT_EQ(registry.queryValue(handle, "PATH", type, buffer, size), RegResult::FileNotFound);

    EXPECT_EQ(registry.closeKey(handle), RegResult::Success);
    EXPECT_EQ(registry.closeKey(handle), RegResult::InvalidHandle);
    size = 1024;
    EXPECT_EQ(registry.queryValue(handle, "PATH", type, buffer, size), RegResult::InvalidHandle);
}

TEST(LinuxProgramsTest, OrdinaryFiles) {
    Scratch s;
    const fs::path file = Scratch::file(s.root / "MSINFO32.EXE", "x", false);
    const fs::path hidden = Scratch::file(s.root / ".hidden", "x", false);
    fs::create_symlink(file, s.root / "link");
    LinuxPrograms programs;
    EXPECT_TRUE(programs.isOrdinaryFile(file.string()));
    EXPECT_TRUE(programs.isOrdinaryFile((s.root / "link").string()));
    EXPECT_FALSE(programs.isOrdinaryFile(hidden.string()));
    EXPECT_FALSE(programs.isOrdinaryFile(s.root.string()));
    EXPECT_FALSE(programs.isOrdinaryFile((s.root / "missing").string()));
    EXPECT_FALSE(programs.isOrdinaryFile("/dev/null"));
    EXPECT_FALSE(programs.isOrdinaryFile(""));
}

TEST(LinuxProgramsTest, WhatCannotRunIsReported) {
    Scratch s;
    const fs::path plain = Scratch::file(s.root / "plain", "#!/bin/sh\n", false);
    LinuxPrograms programs;
    for (const std::string& path :
         {std::string(), (s.root / "missing").string(), plain.string(), s.root.string()}) {
        SCOPED_TRACE(path);
        EXPECT_THROW(programs.start(path), ServiceError);
    }
    // No child of this process is left behind, not even a zombie.
    EXPECT_EQ(::waitpid(-1, nullptr, WNOHANG), -1);
    EXPECT_EQ(errno, ECHILD);
}

bool waitForFile(const fs::path& file, std::chrono::seconds limit) {
    const auto until = std::chrono::steady_clock::now() + limit;
    while (!fs::exists(file)) {
        if (std::chrono::steady_clock::now() > until) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));  // polling a condition
    }
    return true;
}

// Started as the fake System Information tool (this test program under the
// tool's name, with VK_TOOL_REPORT set), it writes down its arguments and
// its blocked and ignored signals, and ends before any test runs. A shell
// script could not tell: the shell unblocks every signal when it starts.
const bool kStartedAsTool = [] {
    const char* report = std::getenv("VK_TOOL_REPORT");
    if (!report) return false;
    std::ifstream commandLine("/proc/self/cmdline");
    std::vector<std::string> args;
    for (std::string arg; std::getline(commandLine, arg, '\0');) args.push_back(arg);
    {
        std::ofstream out(std::string(report) + ".tmp");
        out << (args.empty() ? "" : args[0]) << "|" << args.size() << "\n";
        std::ifstream status("/proc/self/status");
        for (std::string line; std::getline(status, line);) {
            if (line.rfind("SigBlk:", 0) == 0 || line.rfind("SigIgn:", 0) == 0) out << line << "\n";
        }
    }
    std::rename((std::string(report) + ".tmp").c_str(), report);
    std::_Exit(0);
}();

// The whole road on Linux: the stand-in names the fake tool on PATH, the
// About dialog's lookup finds it and it is started directly, detached, with
// no signal blocked or ignored though this process blocks and ignores some.
TEST(LinuxSystemInformation, TheFakeToolOnThePathIsStarted) {
    Scratch s;
    const fs::path bin = s.dir("bin");
    const fs::path marker = s.root / "started";
    fs::create_symlink(fs::read_symlink("/proc/self/exe"), bin / "hardinfo");
    sim::SimPlatform sim;
    LinuxRegistry registry([&] { return "/nonexistent-vk:" + bin.string(); });
    LinuxPrograms programs;
    Services services{sim.dispatcher, sim.toolkit, sim.memory, sim.allocator, sim.tray, sim.boxes,
                      registry,       programs,    ""};
    AboutDialog about(services);
    sigset_t usr1, before;
    ::sigemptyset(&usr1);
    ::sigaddset(&usr1, SIGUSR1);
    ::pthread_sigmask(SIG_BLOCK, &usr1, &before);
    const auto ignoredBefore = std::signal(SIGUSR2, SIG_IGN);
    ::setenv("VK_TOOL_REPORT", marker.c_str(), 1);
    about.StartSysInfo();
    ::unsetenv("VK_TOOL_REPORT");
    std::signal(SIGUSR2, ignoredBefore);
    ::pthread_sigmask(SIG_SETMASK, &before, nullptr);
    EXPECT_TRUE(sim.boxes.shown.empty());
    ASSERT_TRUE(waitForFile(marker, std::chrono::seconds(10)));
    std::ifstream text(marker);
    std::vector<std::string> lines;
    for (std::string line; std::getline(text, line);) lines.push_back(line);
    EXPECT_EQ(lines,
              (std::vector<std::string>{(bin / "hardinfo").string() + "|1",
                                        "SigBlk:\t0000000000000000", "SigIgn:\t0000000000000000"}));
    EXPECT_EQ(::waitpid(-1, nullptr, WNOHANG), -1);  // not our child: nothing to reap
}

TEST(LinuxSystemInformation, NoToolGivesTheFailureBox) {
    sim::SimPlatform sim;
    LinuxRegistry registry([] { return std::string("/nonexistent-vk"); });
    LinuxPrograms programs;
    Services services{sim.dispatcher, sim.toolkit, sim.memory, sim.allocator, sim.tray, sim.boxes,
                      registry,       programs,    ""};
    AboutDialog about(services);
    about.StartSysInfo();
    ASSERT_EQ(sim.boxes.shown.size(), 1u);
    EXPECT_EQ(sim.boxes.shown[0].text, "Unable to start System Information!");
}

}  // namespace
}  // namespace vk
