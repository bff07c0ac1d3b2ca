// Named and unnamed file mappings within one process and between processes.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <windows.h>

#include "Win32Expect.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
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

// mapping_peer with its stdin and stdout on pipes; destroying it ends its
// stdin and waits for it.
class Peer {
 public:
  explicit Peer(std::vector<std::string> arguments) {
    int input[2], output[2];
    EXPECT_EQ(pipe2(input, O_CLOEXEC) | pipe2(output, O_CLOEXEC), 0);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, input[0], STDIN_FILENO);
    posix_spawn_file_actions_adddup2(&actions, output[1], STDOUT_FILENO);
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
    Finish();
    fclose(fromPeer_);
  }

  std::string ReadLine() {
    char line[64] = {};
    if (fgets(line, sizeof line, fromPeer_) == nullptr) return "";
    return std::string(line, std::strcspn(line, "\n"));
  }
  // Its exit code, -1 when killed.
  int Finish() {
    if (toPeer_ >= 0) close(toPeer_);
    toPeer_ = -1;
    int status = 0;
    if (pid_ > 0) waitpid(pid_, &status, 0);
    pid_ = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  void Kill() { kill(pid_, SIGKILL); }

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
  EXPECT_FAILS(MapViewOfFile(reader, FILE_MAP_WRITE, 0, 0, 0), nullptr, ERROR_ACCESS_DENIED);
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
  EXPECT_FAILS(OpenFileMappingA(FILE_MAP_ALL_ACCESS, FALSE, "device-table"), nullptr, ERROR_FILE_NOT_FOUND);
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
  EXPECT_FAILS(Create("zero", 0), nullptr, ERROR_INVALID_PARAMETER);
  EXPECT_FAILS(CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, 0x40, 0, kSize, "x"), nullptr,
               ERROR_INVALID_PARAMETER);  // execute protection
  EXPECT_FAILS(CreateFileMappingA(event, nullptr, PAGE_READWRITE, 0, kSize, "e"), nullptr, ERROR_INVALID_HANDLE);
  EXPECT_FAILS(OpenFileMappingA(FILE_MAP_READ, FALSE, "missing"), nullptr, ERROR_FILE_NOT_FOUND);
  EXPECT_FAILS(OpenFileMappingA(FILE_MAP_READ, FALSE, nullptr), nullptr, ERROR_INVALID_PARAMETER);
  EXPECT_FAILS(MapViewOfFile(event, FILE_MAP_READ, 0, 0, 0), nullptr, ERROR_INVALID_HANDLE);
  EXPECT_FAILS(MapViewOfFile(mapping, FILE_MAP_READ, 0, 4096, 0), nullptr, ERROR_MAPPED_ALIGNMENT);
  EXPECT_FAILS(MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 65537), nullptr, ERROR_ACCESS_DENIED);
  EXPECT_FAILS(MapViewOfFile(mapping, FILE_MAP_READ, 0, 65536, 0), nullptr, ERROR_ACCESS_DENIED);
  int local = 0;
  for (const void* address : {static_cast<const void*>(nullptr), static_cast<const void*>(&local)}) {
    EXPECT_FAILS(UnmapViewOfFile(address), FALSE, ERROR_INVALID_ADDRESS);
  }
  CloseHandle(mapping);
  CloseHandle(event);
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
  Peer opener({"open", "held", "99"});
  EXPECT_EQ(opener.ReadLine(), std::to_string(0xC0FFEE));
  EXPECT_EQ(opener.Finish(), 0) << "this process still holds it";
  EXPECT_EQ(words[1], 99u) << "the other process wrote into our view";
  UnmapViewOfFile(words);
  CloseHandle(mapping);
  EXPECT_EQ(Peer({"open", "held", "1"}).Finish(), 2) << "gone with the last handle";
}

TEST(FileMappingBetweenProcesses, CrashedHolderLeavesNoSection) {
  Peer holder({"hold", "crashed", "4096"});
  ASSERT_EQ(holder.ReadLine(), "created");
  holder.Kill();
  EXPECT_EQ(holder.Finish(), -1);
  EXPECT_FAILS(OpenFileMappingA(FILE_MAP_ALL_ACCESS, FALSE, "crashed"), nullptr, ERROR_FILE_NOT_FOUND);
  Peer second({"hold", "crashed", "4096"});
  EXPECT_EQ(second.ReadLine(), "created") << "a new section, not the dead one's";
}

TEST(FileMappingBetweenProcesses, ProcessesComingAndGoingNeverSplitASection) {
  constexpr int kPeers = 3, kRounds = 300;
  auto churn = [] {
    std::vector<std::unique_ptr<Peer>> peers;
    for (int i = 0; i < kPeers; ++i) {
      peers.push_back(std::make_unique<Peer>(std::vector<std::string>{"churn", "churn", std::to_string(kRounds)}));
    }
    for (auto& peer : peers) EXPECT_EQ(peer->Finish(), 0);
  };
  HANDLE mapping = Create("churn", 4096);
  auto* counter = MapWords(mapping);
  ASSERT_NE(counter, nullptr);
  churn();
  EXPECT_EQ(__atomic_load_n(counter, __ATOMIC_SEQ_CST), static_cast<uint32_t>(kPeers * kRounds))
      << "every round joined the section this process holds";
  UnmapViewOfFile(counter);
  CloseHandle(mapping);
  churn();  // without a holder the name comes and goes; whoever is last removes it
  EXPECT_FAILS(OpenFileMappingA(FILE_MAP_READ, FALSE, "churn"), nullptr, ERROR_FILE_NOT_FOUND);
}

}  // namespace
