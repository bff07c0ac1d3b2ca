// Disk files through CreateFileA, ReadFile, WriteFile, SetFilePointer,
// GetFileSize, SetEndOfFile, DeleteFileA and MoveFileExA, as a Windows
// programmer expects.
#include <gtest/gtest.h>
#include <windows.h>

#include "Win32Expect.h"

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

namespace {

std::string ScratchPath(const std::string& name) {
  const char* scratch = std::getenv("TEVRIN_TEST_SCRATCH");
  return std::string(scratch != nullptr ? scratch : "/tmp") + "/" + name;
}

void WriteText(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

std::string ReadText(const std::string& path) {
  std::stringstream contents;
  contents << std::ifstream(path, std::ios::binary).rdbuf();
  return contents.str();
}

struct OwnedFile {
  HANDLE handle;
  ~OwnedFile() {
    if (handle != INVALID_HANDLE_VALUE) CloseHandle(handle);
  }
};

OwnedFile Open(const std::string& path, DWORD access, DWORD share, DWORD disposition, DWORD flags = 0) {
  return {CreateFileA(path.c_str(), access, share, nullptr, disposition, flags, nullptr)};
}

TEST(CreateFile, DispositionsCreateTruncateAndReport) {
  struct Case {
    const char* label;
    bool exists;
    DWORD access;
    DWORD disposition;
    DWORD error;          // GetLastError after the call
    const char* content;  // file content afterwards, null when the open fails
  };
  const Case cases[] = {
      {"CREATE_NEW, missing", false, GENERIC_WRITE, CREATE_NEW, ERROR_SUCCESS, ""},
      {"CREATE_NEW, present", true, GENERIC_WRITE, CREATE_NEW, ERROR_FILE_EXISTS, nullptr},
      {"CREATE_ALWAYS, missing", false, GENERIC_WRITE, CREATE_ALWAYS, ERROR_SUCCESS, ""},
      {"CREATE_ALWAYS, present", true, GENERIC_WRITE, CREATE_ALWAYS, ERROR_ALREADY_EXISTS, ""},
      {"CREATE_ALWAYS, reader", true, GENERIC_READ, CREATE_ALWAYS, ERROR_ALREADY_EXISTS, ""},
      {"OPEN_EXISTING, present", true, GENERIC_READ, OPEN_EXISTING, ERROR_SUCCESS, "old"},
      {"OPEN_EXISTING, missing", false, GENERIC_READ, OPEN_EXISTING, ERROR_FILE_NOT_FOUND, nullptr},
      {"OPEN_ALWAYS, present", true, GENERIC_WRITE, OPEN_ALWAYS, ERROR_ALREADY_EXISTS, "old"},
      {"OPEN_ALWAYS, missing", false, GENERIC_WRITE, OPEN_ALWAYS, ERROR_SUCCESS, ""},
      {"TRUNCATE_EXISTING, present", true, GENERIC_WRITE, TRUNCATE_EXISTING, ERROR_SUCCESS, ""},
      {"TRUNCATE_EXISTING, missing", false, GENERIC_WRITE, TRUNCATE_EXISTING, ERROR_FILE_NOT_FOUND, nullptr},
      {"TRUNCATE_EXISTING, reader", true, GENERIC_READ, TRUNCATE_EXISTING, ERROR_INVALID_PARAMETER, "old"},
      {"unknown disposition", true, GENERIC_READ, 9, ERROR_INVALID_PARAMETER, "old"},
  };
  std::string path = ScratchPath("disposition.bin");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    DeleteFileA(path.c_str());
    if (c.exists) WriteText(path, "old");
    SetLastError(12345);
    OwnedFile file = Open(path, c.access, 0, c.disposition);
    EXPECT_EQ(GetLastError(), c.error);
    EXPECT_EQ(file.handle != INVALID_HANDLE_VALUE, c.content != nullptr && c.error != ERROR_INVALID_PARAMETER);
    if (c.content != nullptr) {
      EXPECT_EQ(ReadText(path), c.content);
    }
  }
}

TEST(CreateFile, BadPathsFailWithTheWindowsCode) {
  struct Case {
    const char* label;
    const char* path;
    DWORD error;
  };
  std::string missingDirectory = ScratchPath("no-such-directory/file.bin");
  std::string directory = ScratchPath("");
  const Case cases[] = {
      {"null", nullptr, ERROR_INVALID_PARAMETER},
      {"empty", "", ERROR_PATH_NOT_FOUND},
      {"missing directory", missingDirectory.c_str(), ERROR_PATH_NOT_FOUND},
      {"a directory", directory.c_str(), ERROR_ACCESS_DENIED},
      {"device path nobody serves", "\\\\?\\usb#vid_0000&pid_0000#none", ERROR_FILE_NOT_FOUND},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    HANDLE file = CreateFileA(c.path, GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    EXPECT_EQ(file, INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), c.error);
  }
}

TEST(FileIo, WritesReadsAndMovesThePointer) {
  std::string path = ScratchPath("io.bin");
  OwnedFile file = Open(path, GENERIC_READ | GENERIC_WRITE, 0, CREATE_ALWAYS);
  ASSERT_NE(file.handle, INVALID_HANDLE_VALUE);
  DWORD moved = 99;
  ASSERT_TRUE(WriteFile(file.handle, "0123456789", 10, &moved, nullptr));
  EXPECT_EQ(moved, 10u);
  EXPECT_EQ(GetFileSize(file.handle, nullptr), 10u);

  EXPECT_EQ(SetFilePointer(file.handle, -3, nullptr, FILE_END), 7u);
  char buffer[16] = {};
  ASSERT_TRUE(ReadFile(file.handle, buffer, sizeof buffer, &moved, nullptr));
  EXPECT_EQ(std::string(buffer, moved), "789");
  ASSERT_TRUE(ReadFile(file.handle, buffer, sizeof buffer, &moved, nullptr)) << "end of file is not an error";
  EXPECT_EQ(moved, 0u);

  EXPECT_EQ(SetFilePointer(file.handle, 2, nullptr, FILE_BEGIN), 2u);
  EXPECT_EQ(SetFilePointer(file.handle, 3, nullptr, FILE_CURRENT), 5u);
  EXPECT_FAILS(SetFilePointer(file.handle, -6, nullptr, FILE_CURRENT), INVALID_SET_FILE_POINTER, ERROR_NEGATIVE_SEEK);
  EXPECT_EQ(SetFilePointer(file.handle, 0, nullptr, FILE_CURRENT), 5u) << "a failed move leaves the pointer";
  EXPECT_FAILS(SetFilePointer(file.handle, 0, nullptr, 7), INVALID_SET_FILE_POINTER, ERROR_INVALID_PARAMETER);

  // Beyond 4 GiB through the high part; writing there makes a sparse file.
  LONG high = 1;
  EXPECT_EQ(SetFilePointer(file.handle, 16, &high, FILE_BEGIN), 16u);
  EXPECT_EQ(high, 1);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(NO_ERROR));
  ASSERT_TRUE(WriteFile(file.handle, "x", 1, &moved, nullptr));
  DWORD sizeHigh = 0;
  EXPECT_EQ(GetFileSize(file.handle, &sizeHigh), 17u);
  EXPECT_EQ(sizeHigh, 1u);
}

TEST(FileIo, OverlappedTransfersUseTheOffsetAndComplete) {
  std::string path = ScratchPath("overlapped.bin");
  WriteText(path, "abcdefgh");
  OwnedFile file = Open(path, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING);
  HANDLE event = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  OVERLAPPED overlapped{};
  overlapped.u.s.Offset = 5;
  overlapped.hEvent = event;
  char buffer[8] = {};
  ASSERT_TRUE(ReadFile(file.handle, buffer, sizeof buffer, nullptr, &overlapped));
  EXPECT_EQ(std::string(buffer, overlapped.InternalHigh), "fgh");
  EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_OBJECT_0);
  overlapped.u.s.Offset = 100;
  EXPECT_FAILS(ReadFile(file.handle, buffer, sizeof buffer, nullptr, &overlapped), FALSE, ERROR_HANDLE_EOF);
  CloseHandle(event);
}

TEST(FileIo, BadCallsFailWithoutTouchingTheFile) {
  std::string path = ScratchPath("bad-calls.bin");
  WriteText(path, "keep");
  OwnedFile reader = Open(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING);
  OwnedFile writer = Open(path, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING);
  HANDLE event = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  char buffer[4];
  DWORD moved = 0;
  EXPECT_FAILS(WriteFile(reader.handle, "x", 1, &moved, nullptr), FALSE, ERROR_ACCESS_DENIED);
  EXPECT_FAILS(ReadFile(writer.handle, buffer, 4, &moved, nullptr), FALSE, ERROR_ACCESS_DENIED);
  EXPECT_FAILS(ReadFile(reader.handle, buffer, 4, nullptr, nullptr), FALSE, ERROR_INVALID_PARAMETER);
  EXPECT_FAILS(ReadFile(reader.handle, nullptr, 4, &moved, nullptr), FALSE, ERROR_NOACCESS);
  for (HANDLE bad : {static_cast<HANDLE>(nullptr), INVALID_HANDLE_VALUE, event, reinterpret_cast<HANDLE>(0x7ff0)}) {
    EXPECT_FAILS(ReadFile(bad, buffer, 4, &moved, nullptr), FALSE, ERROR_INVALID_HANDLE);
    EXPECT_EQ(GetFileSize(bad, nullptr), INVALID_FILE_SIZE);
    EXPECT_EQ(SetFilePointer(bad, 0, nullptr, FILE_BEGIN), INVALID_SET_FILE_POINTER);
  }
  CloseHandle(event);
  EXPECT_EQ(ReadText(path), "keep");
}

TEST(FileIo, SetEndOfFileCutsOrExtendsAtThePointer) {
  std::string path = ScratchPath("end-of-file.bin");
  WriteText(path, "0123456789");
  {
    OwnedFile file = Open(path, GENERIC_WRITE, 0, OPEN_EXISTING);
    EXPECT_EQ(SetFilePointer(file.handle, 4, nullptr, FILE_BEGIN), 4u);
    ASSERT_TRUE(SetEndOfFile(file.handle));
    EXPECT_EQ(GetFileSize(file.handle, nullptr), 4u);
    EXPECT_EQ(SetFilePointer(file.handle, 6, nullptr, FILE_BEGIN), 6u);
    ASSERT_TRUE(SetEndOfFile(file.handle));
  }
  EXPECT_EQ(ReadText(path), std::string("0123\0\0", 6));
  OwnedFile reader = Open(path, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING);
  EXPECT_FAILS(SetEndOfFile(reader.handle), FALSE, ERROR_ACCESS_DENIED);
  EXPECT_FAILS(SetEndOfFile(nullptr), FALSE, ERROR_INVALID_HANDLE);
  EXPECT_EQ(ReadText(path).size(), 6u);
}

TEST(FileIo, FullDiskReportsDiskFull) {
  OwnedFile full = Open("/dev/full", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING);
  ASSERT_NE(full.handle, INVALID_HANDLE_VALUE);
  DWORD moved = 7;
  EXPECT_FAILS(WriteFile(full.handle, "data", 4, &moved, nullptr), FALSE, ERROR_DISK_FULL);
  EXPECT_EQ(moved, 0u);
}

TEST(ShareMode, ConflictingOpensAreRefused) {
  std::string path = ScratchPath("shared.bin");
  WriteText(path, "contents");
  OwnedFile first = Open(path, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING);
  ASSERT_NE(first.handle, INVALID_HANDLE_VALUE);
  {
    OwnedFile secondReader = Open(path, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING);
    EXPECT_NE(secondReader.handle, INVALID_HANDLE_VALUE) << "readers that share reading coexist";
  }
  struct Case {
    const char* label;
    DWORD access;
    DWORD share;
    DWORD disposition;
  };
  const Case refused[] = {
      {"writer while the reader does not share writing", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
       OPEN_EXISTING},
      {"reader that does not share reading", GENERIC_READ, 0, OPEN_EXISTING},
      {"CREATE_ALWAYS would truncate under the reader", GENERIC_WRITE, FILE_SHARE_READ, CREATE_ALWAYS},
  };
  for (const Case& c : refused) {
    SCOPED_TRACE(c.label);
    OwnedFile other = Open(path, c.access, c.share, c.disposition);
    EXPECT_FAILS(other.handle, INVALID_HANDLE_VALUE, ERROR_SHARING_VIOLATION);
  }
  EXPECT_EQ(ReadText(path), "contents");
  EXPECT_FAILS(DeleteFileA(path.c_str()), FALSE, ERROR_SHARING_VIOLATION);
  CloseHandle(first.handle);
  first.handle = INVALID_HANDLE_VALUE;
  OwnedFile writer = Open(path, GENERIC_WRITE, FILE_SHARE_DELETE, OPEN_EXISTING);
  EXPECT_NE(writer.handle, INVALID_HANDLE_VALUE) << "closing the handle lifts its share mode";
  EXPECT_TRUE(DeleteFileA(path.c_str())) << "FILE_SHARE_DELETE admits a delete";
}

TEST(FileSystem, DeleteAndRenameForSaveThroughATemporaryFile) {
  std::string target = ScratchPath("settings.bin");
  std::string temporary = ScratchPath("settings.bin.tmp");
  WriteText(target, "old");
  WriteText(temporary, "new");
  EXPECT_FAILS(MoveFileExA(temporary.c_str(), target.c_str(), 0), FALSE, ERROR_ALREADY_EXISTS);
  {
    OwnedFile reader = Open(target, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, OPEN_EXISTING);
    EXPECT_FALSE(MoveFileExA(temporary.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED)) << "an open target cannot be replaced";
  }
  EXPECT_EQ(ReadText(target), "old");
  EXPECT_TRUE(MoveFileExA(temporary.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH));
  EXPECT_EQ(ReadText(target), "new");
  EXPECT_FAILS(MoveFileExA(temporary.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING), FALSE, ERROR_FILE_NOT_FOUND);
  EXPECT_FAILS(MoveFileExA(nullptr, target.c_str(), 0), FALSE, ERROR_INVALID_PARAMETER);

  EXPECT_TRUE(DeleteFileA(target.c_str()));
  EXPECT_FAILS(DeleteFileA(target.c_str()), FALSE, ERROR_FILE_NOT_FOUND);
  EXPECT_FALSE(DeleteFileA(ScratchPath("").c_str()));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED)) << "a directory is not deleted";
  EXPECT_FAILS(DeleteFileA(nullptr), FALSE, ERROR_INVALID_PARAMETER);
}

}  // namespace
