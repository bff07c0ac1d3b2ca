// The other process of the file-mapping tests.
//   mapping_peer open NAME VALUE  opens NAME, prints its first word, stores VALUE
//                                 as its second; exit 2 when NAME does not exist
//   mapping_peer hold NAME SIZE   creates NAME, prints "created" (first word set
//                                 to 0xC0FFEE) or "existed", holds it until stdin ends
//   mapping_peer churn NAME COUNT creates, increments the first word of and
//                                 closes NAME COUNT times
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

int Open(const char* name, uint32_t value) {
  HANDLE mapping = OpenFileMappingA(FILE_MAP_ALL_ACCESS, FALSE, name);
  if (mapping == nullptr) return GetLastError() == ERROR_FILE_NOT_FOUND ? 2 : 3;
  auto* words = static_cast<uint32_t*>(MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, 0));
  if (words == nullptr) return 3;
  std::printf("%u\n", words[0]);
  words[1] = value;
  UnmapViewOfFile(words);
  CloseHandle(mapping);
  return 0;
}

int Hold(const char* name, DWORD size) {
  HANDLE mapping = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, size, name);
  if (mapping == nullptr) return 3;
  bool existed = GetLastError() == ERROR_ALREADY_EXISTS;
  auto* words = static_cast<uint32_t*>(MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, 0));
  if (words == nullptr) return 3;
  if (!existed) words[0] = 0xC0FFEE;
  std::printf("%s\n", existed ? "existed" : "created");
  std::fflush(stdout);
  while (std::getchar() != EOF) {
  }
  UnmapViewOfFile(words);
  CloseHandle(mapping);
  return 0;
}

int Churn(const char* name, unsigned long count) {
  for (unsigned long i = 0; i < count; ++i) {
    HANDLE mapping = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 4096, name);
    auto* words = static_cast<uint32_t*>(MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, 0));
    if (words == nullptr) return 3;
    __atomic_fetch_add(&words[0], 1, __ATOMIC_SEQ_CST);
    UnmapViewOfFile(words);
    CloseHandle(mapping);
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 4 && std::strcmp(argv[1], "open") == 0) return Open(argv[2], std::strtoul(argv[3], nullptr, 0));
  if (argc == 4 && std::strcmp(argv[1], "hold") == 0) return Hold(argv[2], std::strtoul(argv[3], nullptr, 0));
  if (argc == 4 && std::strcmp(argv[1], "churn") == 0) return Churn(argv[2], std::strtoul(argv[3], nullptr, 0));
  std::fprintf(stderr, "usage: mapping_peer open NAME VALUE | hold NAME SIZE | churn NAME COUNT\n");
  return 64;
}
