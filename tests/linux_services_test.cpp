#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
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

// The whole road on Linux: the stand-in names the fake tool on PATH, the
// About dialog's lookup finds it and it is started directly, detached.
TEST(LinuxSystemInformation, TheFakeToolOnThePathIsStarted) {
    Scratch s;
    const fs::path bin = s.dir("bin");
    const fs::path marker = s.root / "started";
    // The tool notes its arguments and that no shell stood between: $0 is
    // the tool's own path.
    Scratch::file(bin / "hardinfo",
                  "#!/bin/sh\necho \"$0|$#\" > '" + marker.string() + ".tmp'\nmv '" +
                      marker.string() + ".tmp' '" + marker.string() + "'\n",
                  true);
    sim::SimPlatform sim;
    LinuxRegistry registry([&] { return "/nonexistent-vk:" + bin.string(); });
    LinuxPrograms programs;
    Services services{sim.dispatcher, sim.toolkit, sim.memory, sim.allocator, sim.tray, sim.boxes,
                      registry,       programs,    ""};
    AboutDialog about(services);
    about.StartSysInfo();
    EXPECT_TRUE(sim.boxes.shown.empty());
    ASSERT_TRUE(waitForFile(marker, std::chrono::seconds(10)));
    std::string line;
    std::getline(std::ifstream(marker), line);
    EXPECT_EQ(line, (bin / "hardinfo").string() + "|0");
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
