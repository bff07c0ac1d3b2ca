// Named and unnamed file mappings within one process and between processes.
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

extern char** environ;

namespace {

constexpr DWORD kSize = 8584;

HANDLE Create(const char* name, DWORD size = kSize) {
  return CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, size, name);
}

uint32_t* MapWords(HANDLE mapping, DWORD access = FILE_MAP_ALL_ACCESS) {
  return static_cast<uint32_t*>(MapViewOfFile(mapping, access, 0, 0, 0));
}

// mapping_peer run with its stdin and stdout on pipes.
class Peer {
 public:
  explicit Peer(std::vector<std::string> arguments) {
    int input[2], output[2];
    EXPECT_EQ(pipe(input), 0);
    EXPECT_EQ(pipe(output), 0);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, input[0], STDIN_FILENO);
    posix_spawn_file_actions_adddup2(&actions, output[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, input[1]);
    posix_spawn_file_actions_addclose(&actions, output[0]);
    arguments.insert(arguments.begin(), TEVRIN_MAPPING_PEER);
    std::vector<char*> argv;
    for (auto& argument : arguments) argv.push_back(argument.data());
    argv.push_back(nullptr);
    EXPECT_EQ(posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ), 0);
    posix_spawn_file_actions_destroy(&actions);
    close(input[0]);
    close(output[1]);
    toPeer_ = input[1];
    fromPeer_ = fdopen(output[0], "r");
  }
  ~Peer() {
    if (pid_ > 0) Finish();
    fclose(fromPeer_);
  }

  std::string ReadLine() {
    char line[64] = {};
    if (fgets(line, sizeof line, fromPeer_) == nullptr) return "";
    std::string text(line);
    if (!text.empty() && text.back() == '\n') text.pop_back();
    return text;
  }
  // Ends its stdin and returns its exit code.
  int Finish() {
    if (toPeer_ >= 0) close(toPeer_);
    toPeer_ = -1;
    int status = 0;
    waitpid(pid_, &status, 0);
    pid_ = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  void Kill() {
    kill(pid_, SIGKILL);
    Finish();
  }

 private:
  pid_t pid_ = -1;
  int toPeer_ = -1;
  FILE* fromPeer_ = nullptr;
};

TEST(FileMapping, NamedSectionIsSharedAndEndsWithItsLastHandle) {
  HANDLE first = Create("device-table");
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SUCCESS));
  uint32_t* firstView = MapWords(first);
  ASSERT_NE(firstView, nullptr);
  EXPECT_EQ(firstView[kSize / 4 - 1], 0u) << "a new section is zeroed";
  firstView[0] = 42;

  HANDLE second = Create("device-table", 2 * kSize);
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
  HANDLE reader = OpenFileMappingA(FILE_MAP_READ, FALSE, "device-table");
  ASSERT_NE(reader, nullptr);
  EXPECT_EQ(MapViewOfFile(reader, FILE_MAP_WRITE, 0, 0, 0), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
  uint32_t* readView = MapWords(reader, FILE_MAP_READ);
  ASSERT_NE(readView, nullptr);
  EXPECT_NE(readView, firstView);
  EXPECT_EQ(readView[0], 42u);
  EXPECT_EQ(MapViewOfFile(second, FILE_MAP_READ, 0, 0, kSize + 1), nullptr) << "the size stays the first one's";

  // A view keeps the section after every handle is closed.
  for (HANDLE handle : {first, second, reader}) CloseHandle(handle);
  HANDLE again = OpenFileMappingA(FILE_MAP_ALL_ACCESS, FALSE, "device-table");
  ASSERT_NE(again, nullptr);
  CloseHandle(again);
  EXPECT_TRUE(UnmapViewOfFile(firstView));
  EXPECT_TRUE(UnmapViewOfFile(readView));
  EXPECT_EQ(OpenFileMappingA(FILE_MAP_ALL_ACCESS, FALSE, "device-table"), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
}

TEST(FileMapping, UnnamedSectionViewsShareMemory) {
  HANDLE mapping = Create(nullptr, 3 * 65536);
  ASSERT_NE(mapping, nullptr);
  uint32_t* whole = MapWords(mapping);
  auto* tail = static_cast<uint32_t*>(MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 65536, 4096));
  ASSERT_NE(tail, nullptr);
  tail[1] = 7;
  EXPECT_EQ(whole[65536 / 4 + 1], 7u);
  CloseHandle(mapping);
  EXPECT_TRUE(UnmapViewOfFile(tail));
  EXPECT_TRUE(UnmapViewOfFile(whole));
}

TEST(FileMapping, BadCallsFailWithTheWindowsCode) {
  HANDLE event = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  HANDLE mapping = Create("bad-calls", 65536);
  struct Case {
    const char* label;
    HANDLE (*call)(HANDLE event);
    DWORD error;
  };
  const Case creates[] = {
      {"size 0", [](HANDLE) { return Create("zero", 0); }, ERROR_INVALID_PARAMETER},
      {"execute protection",
       [](HANDLE) { return CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, 0x40, 0, kSize, "exec"); },
       ERROR_INVALID_PARAMETER},
      {"an event as the file",
       [](HANDLE event) { return CreateFileMappingA(event, nullptr, PAGE_READWRITE, 0, kSize, "e"); },
       ERROR_INVALID_HANDLE},
      {"open a missing name", [](HANDLE) { return OpenFileMappingA(FILE_MAP_READ, FALSE, "missing"); },
       ERROR_FILE_NOT_FOUND},
      {"open without a name", [](HANDLE) { return OpenFileMappingA(FILE_MAP_READ, FALSE, nullptr); },
       ERROR_INVALID_PARAMETER},
  };
  for (const Case& c : creates) {
    SCOPED_TRACE(c.label);
    EXPECT_EQ(c.call(event), nullptr);
    EXPECT_EQ(GetLastError(), c.error);
  }
  struct ViewCase {
    const char* label;
    HANDLE mapping;
    DWORD offset;
    SIZE_T bytes;
    DWORD error;
  };
  const ViewCase views[] = {
      {"an event", event, 0, 0, ERROR_INVALID_HANDLE},
      {"offset off the 64 KiB grid", mapping, 4096, 0, ERROR_MAPPED_ALIGNMENT},
      {"larger than the section", mapping, 0, 65537, ERROR_ACCESS_DENIED},
      {"starting at its end", mapping, 65536, 0, ERROR_ACCESS_DENIED},
  };
  for (const ViewCase& c : views) {
    SCOPED_TRACE(c.label);
    EXPECT_EQ(MapViewOfFile(c.mapping, FILE_MAP_READ, 0, c.offset, c.bytes), nullptr);
    EXPECT_EQ(GetLastError(), c.error);
  }
  int local = 0;
  for (const void* address : {static_cast<const void*>(nullptr), static_cast<const void*>(&local)}) {
    EXPECT_FALSE(UnmapViewOfFile(address));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_ADDRESS));
  }
  CloseHandle(mapping);
  CloseHandle(event);
}

TEST(FileMappingBetweenProcesses, BothSeeOneSection) {
  HANDLE mapping = Create("between");
  uint32_t* words = MapWords(mapping);
  ASSERT_NE(words, nullptr);
  words[0] = 41;
  Peer peer({"open", "between", "99"});
  EXPECT_EQ(peer.ReadLine(), "41");
  EXPECT_EQ(peer.Finish(), 0);
  EXPECT_EQ(words[1], 99u);
  UnmapViewOfFile(words);
  CloseHandle(mapping);
}

TEST(FileMappingBetweenProcesses, SectionEndsWithTheLastHandleInAnyProcess) {
  Peer holder({"hold", "held", "4096"});
  ASSERT_EQ(holder.ReadLine(), "created");
  HANDLE mapping = Create("held");
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
  uint32_t* words = MapWords(mapping);
  ASSERT_NE(words, nullptr);
  EXPECT_EQ(words[0], 0xC0FFEEu);
  EXPECT_EQ(holder.Finish(), 0);
  EXPECT_EQ(Peer({"open", "held", "1"}).Finish(), 0) << "this process still holds it";
  UnmapViewOfFile(words);
  CloseHandle(mapping);
  EXPECT_EQ(Peer({"open", "held", "1"}).Finish(), 2) << "gone with the last handle";
}

TEST(FileMappingBetweenProcesses, CrashedHolderLeavesNoSection) {
  Peer holder({"hold", "crashed", "4096"});
  ASSERT_EQ(holder.ReadLine(), "created");
  holder.Kill();
  EXPECT_EQ(OpenFileMappingA(FILE_MAP_ALL_ACCESS, FALSE, "crashed"), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
  Peer second({"hold", "crashed", "4096"});
  EXPECT_EQ(second.ReadLine(), "created") << "a new section, not the dead one's";
}

}  // namespace
