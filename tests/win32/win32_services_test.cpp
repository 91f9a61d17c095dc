// The Win32 services where they can go wrong on their own: the block's
// refusal and its pages, the memory figures, the registry's handle table and
// the access it asks for, the file test's attributes, and the command line's
// program name. Runs under Wine.
#include <gtest/gtest.h>
#include <windows.h>

#include <limits>
#include <string>
#include <vector>

#include "platform/Errors.h"
#include "platform/win32/CommandLine.h"
#include "platform/win32/Win32BlockAllocator.h"
#include "platform/win32/Win32Memory.h"
#include "platform/win32/Win32Programs.h"
#include "platform/win32/Win32Registry.h"

namespace vk::win32 {
namespace {

MEMORY_BASIC_INFORMATION regionAt(const void* address) {
    MEMORY_BASIC_INFORMATION info{};
    EXPECT_EQ(VirtualQuery(address, &info, sizeof info), sizeof info);
    return info;
}

TEST(Win32BlockAllocator, RefusesASizeNoAddressSpaceHolds) {
    Win32BlockAllocator allocator;
    const std::size_t tooBig = std::numeric_limits<std::size_t>::max() - 0xFFFF;
    EXPECT_THROW(allocator.allocateAndFill(tooBig), OutOfMemory);
}

TEST(Win32BlockAllocator, CommitsAndWritesEveryByteThenReleases) {
    Win32BlockAllocator allocator;
    const std::size_t bytes = 5'000'001;  // not a whole number of pages
    auto block = allocator.allocateAndFill(bytes);
    auto* virtualBlock = dynamic_cast<VirtualBlock*>(block.get());
    ASSERT_NE(virtualBlock, nullptr);
    ASSERT_EQ(block->size(), bytes);
    const unsigned char* data = virtualBlock->data();

    const MEMORY_BASIC_INFORMATION region = regionAt(data);
    EXPECT_EQ(region.State, static_cast<DWORD>(MEM_COMMIT));
    EXPECT_EQ(region.Protect, static_cast<DWORD>(PAGE_READWRITE));
    EXPECT_GE(region.RegionSize, bytes);
    std::size_t written = 0;
    for (std::size_t i = 0; i < bytes; ++i) written += data[i] == Win32BlockAllocator::kFill;
    EXPECT_EQ(written, bytes);

    block.reset();
    EXPECT_EQ(regionAt(data).State, static_cast<DWORD>(MEM_FREE));
}

TEST(Win32Registry, HandlesStandForOpenKeysOnly) {
    Win32Registry registry;
    // Present in every Windows and every Wine prefix.
    const std::string key = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";
    std::uint32_t first = 0, second = 0;
    ASSERT_EQ(registry.openKey(RegRoot::LocalMachine, key, RegAccess::Read, first),
              RegResult::Success);
    ASSERT_EQ(registry.openKey(RegRoot::LocalMachine, key, RegAccess::Read, second),
              RegResult::Success);
    EXPECT_NE(first, second);

    std::uint32_t type = 0, size = 64;
    std::vector<std::uint8_t> buffer(64, 0xEE);
    EXPECT_EQ(registry.queryValue(first, "ProductName", type, buffer, size), RegResult::Success);
    EXPECT_EQ(type, RegType::String);
    ASSERT_GT(size, 1u);
    EXPECT_EQ(buffer[size - 1], 0) << "a string value comes with its terminating zero";
    // The room is the smaller of the size given and the buffer.
    size = 1000;
    std::vector<std::uint8_t> small(2);
    EXPECT_EQ(registry.queryValue(first, "ProductName", type, small, size), RegResult::MoreData);

    EXPECT_EQ(registry.closeKey(first), RegResult::Success);
    EXPECT_EQ(registry.closeKey(first), RegResult::InvalidHandle);
    EXPECT_EQ(registry.queryValue(first, "ProductName", type, buffer, size),
              RegResult::InvalidHandle);
    size = 64;
    EXPECT_EQ(registry.queryValue(second, "ProductName", type, buffer, size), RegResult::Success);

    std::uint32_t none = 0;
    EXPECT_EQ(registry.openKey(RegRoot::LocalMachine, key + "\\No Such Key", RegAccess::Read, none),
              RegResult::FileNotFound);
    EXPECT_EQ(registry.openKey(0x80000001u, key, RegAccess::Read, none), RegResult::InvalidHandle);
}

// What the registry asked the system for: the access of each open, and
// each key closed.
std::vector<REGSAM> gAsked;
std::vector<HKEY> gOpened;
std::vector<HKEY> gClosed;

LSTATUS WINAPI recordOpen(HKEY root, LPCSTR key, DWORD options, REGSAM access, PHKEY opened) {
    gAsked.push_back(access);
    const LSTATUS rc = RegOpenKeyExA(root, key, options, access, opened);
    if (rc == ERROR_SUCCESS) gOpened.push_back(*opened);
    return rc;
}

LSTATUS WINAPI recordClose(HKEY key) {
    gClosed.push_back(key);
    return RegCloseKey(key);
}

TEST(Win32Registry, AsksForReadAccessOnlyAndClosesEveryKeyOnce) {
    gAsked.clear();
    gOpened.clear();
    gClosed.clear();
    const std::string key = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";
    {
        Win32Registry registry(RegistryCalls{recordOpen, recordClose});
        std::uint32_t first = 0, second = 0;
        ASSERT_EQ(registry.openKey(RegRoot::LocalMachine, key, RegAccess::Read, first),
                  RegResult::Success);
        ASSERT_EQ(registry.openKey(RegRoot::LocalMachine, key, RegAccess::Read, second),
                  RegResult::Success);
        // Reading, never writing: a user who is not elevated may not write
        // under the machine root.
        EXPECT_EQ(gAsked, (std::vector<REGSAM>{0x20019, 0x20019}));
        EXPECT_EQ(registry.closeKey(first), RegResult::Success);
        ASSERT_EQ(gClosed.size(), 1u);
        EXPECT_EQ(gClosed[0], gOpened.at(0));
    }  // the one left open goes with the registry
    EXPECT_EQ(gClosed, gOpened) << "each key closed once, the closed one not again";
}

TEST(Win32Memory, TheFiguresOfOneQueryAreWholeAndConsistent) {
    Win32Memory memory;
    MemoryStatus status;
    ASSERT_NO_THROW(memory.query(status));
    EXPECT_GT(status.totalPhys, 0u);
    EXPECT_LE(status.availPhys, status.totalPhys);
    EXPECT_GT(status.totalPageFile, 0u);
    EXPECT_LE(status.availPageFile, status.totalPageFile);
}

// A file in the temporary folder with the given attributes, removed at the end.
class TempFile {
  public:
    explicit TempFile(const char* name, DWORD attributes) {
        char folder[MAX_PATH];
        GetTempPathA(MAX_PATH, folder);
        path_ = std::string(folder) + name;
        const HANDLE file = CreateFileA(path_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                        FILE_ATTRIBUTE_NORMAL, nullptr);
        EXPECT_NE(file, INVALID_HANDLE_VALUE) << path_;
        CloseHandle(file);
        EXPECT_TRUE(SetFileAttributesA(path_.c_str(), attributes)) << path_;
    }
    ~TempFile() {
        SetFileAttributesA(path_.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(path_.c_str());
    }
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;
    const std::string& path() const { return path_; }

  private:
    std::string path_;
};

TEST(Win32Programs, OnlyOrdinaryFilesCount) {
    const TempFile plain("vk_plain.exe", FILE_ATTRIBUTE_ARCHIVE);
    const TempFile readOnly("vk_readonly.exe", FILE_ATTRIBUTE_READONLY);
    const TempFile hidden("vk_hidden.exe", FILE_ATTRIBUTE_HIDDEN);
    const TempFile system("vk_system.exe", FILE_ATTRIBUTE_SYSTEM);
    char windows[MAX_PATH];
    GetWindowsDirectoryA(windows, MAX_PATH);
    const struct {
        std::string path;
        bool ordinary;
    } rows[] = {
        {plain.path(), true},
        {readOnly.path(), true},
        {hidden.path(), false},
        {system.path(), false},
        {windows, false},  // a folder
        {plain.path() + ".missing", false},
        {"", false},
    };
    Win32Programs programs;
    for (const auto& row : rows)
        EXPECT_EQ(programs.isOrdinaryFile(row.path), row.ordinary) << row.path;
}

TEST(Win32Programs, AFailedStartThrows) {
    Win32Programs programs;
    char windows[MAX_PATH];
    GetWindowsDirectoryA(windows, MAX_PATH);
    for (const std::string& path :
         {std::string(windows) + "\\no-such-program.exe", std::string(windows), std::string()}) {
        EXPECT_THROW(programs.start(path), ServiceError) << path;
    }
}

TEST(CommandLine, TheTextAfterTheProgramsName) {
    const struct {
        const char* line;
        const char* arguments;
    } rows[] = {
        {"velkrom.exe /AUTO", "/AUTO"},
        {"\"C:\\Program Files\\Velkrom\\velkrom.exe\" /QUIT", "/QUIT"},
        {"C:\\\"Program Files\"\\Velkrom\\velkrom.exe /auto", "/auto"},  // a quoted part inside
        {"velkrom.exe\t \t/AUTO", "/AUTO"},                              // blanks and tabs end it
        {"velkrom.exe  /AUTO  x ", "/AUTO  x "},                         // the rest as it stands
        {"velkrom.exe \"/AUTO\"", "\"/AUTO\""},                          // quotes kept after it
        {"\"C:\\a b\\velkrom.exe\"/AUTO", ""},  // a quote does not end the name
        {"\"C:\\a b\\velkrom.exe /AUTO", ""},   // an open quote runs to the end
        {"velkrom.exe", ""},
        {"\"velkrom.exe\"   ", ""},
        {"", ""},
    };
    for (const auto& row : rows) EXPECT_EQ(argumentText(row.line), row.arguments) << row.line;
}

}  // namespace
}  // namespace vk::win32
