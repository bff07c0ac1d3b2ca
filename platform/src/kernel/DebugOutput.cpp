// OutputDebugStringA: the SDK's trace sink, filtered by TEVRIN_LOG and written
// to stderr or appended to TEVRIN_LOG_FILE. The variables are read at every
// call, so a program (or a test) may change them while running.
#include <fcntl.h>
#include <unistd.h>
#include <windows.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr std::string_view kLevelNames[] = {"off", "error", "warn", "info", "debug", "trace"};
constexpr int kInfo = 3;
constexpr std::string_view kDefaultCategory = "general";

int LevelFromName(std::string_view name) {
  for (int level = 0; level < static_cast<int>(std::size(kLevelNames)); ++level) {
    if (name == kLevelNames[level]) return level;
  }
  return -1;
}

bool IsCategoryName(std::string_view name) {
  if (name.empty()) return false;
  for (char c : name) {
    bool allowed =
        (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || c == '-' || c == '.';
    if (!allowed) return false;
  }
  return true;
}

struct Rule {
  std::string category;  // "*" for every category
  int level;
};

// "usb:debug,sdk:info,*:warn"; a bare level applies to every category; an
// entry that does not parse is skipped.
std::vector<Rule> ParseRules(std::string_view text) {
  std::vector<Rule> rules;
  while (!text.empty()) {
    auto comma = text.find(',');
    std::string_view entry = text.substr(0, comma);
    text = comma == std::string_view::npos ? std::string_view() : text.substr(comma + 1);
    auto colon = entry.find(':');
    std::string_view category = colon == std::string_view::npos ? "*" : entry.substr(0, colon);
    int level = LevelFromName(colon == std::string_view::npos ? entry : entry.substr(colon + 1));
    if (level >= 0 && (category == "*" || IsCategoryName(category))) rules.push_back({std::string(category), level});
  }
  return rules;
}

// The rule naming the category wins over "*"; among equals the last one.
int ThresholdFor(const std::vector<Rule>& rules, std::string_view category) {
  int exact = -1, wildcard = 0;
  for (const Rule& rule : rules) {
    if (rule.category == category) exact = rule.level;
    if (rule.category == "*") wildcard = rule.level;
  }
  return exact >= 0 ? exact : wildcard;
}

struct Message {
  std::string_view category = kDefaultCategory;
  int level = kInfo;
  std::string_view text;
};

// "[usb] text" or "[usb:debug] text"; anything else is a general message at info.
Message ParseMessage(std::string_view text) {
  Message message{kDefaultCategory, kInfo, text};
  auto close = text.find(']');
  if (!text.starts_with('[') || close == std::string_view::npos) return message;
  std::string_view tag = text.substr(1, close - 1);
  auto colon = tag.find(':');
  std::string_view category = tag.substr(0, colon);
  int level = colon == std::string_view::npos ? kInfo : LevelFromName(tag.substr(colon + 1));
  if (!IsCategoryName(category) || level <= 0) return message;
  text.remove_prefix(close + 1);
  if (text.starts_with(' ')) text.remove_prefix(1);
  return {category, level, text};
}

class TraceSink {
 public:
  void Write(const char* settings, const char* fileName, std::string_view text) {
    std::lock_guard lock(mutex_);
    if (settings_ != settings) {
      settings_ = settings;
      rules_ = ParseRules(settings_);
    }
    Message message = ParseMessage(text);
    if (message.level > ThresholdFor(rules_, message.category)) return;
    WriteAll(Destination(fileName), Format(message));
  }

 private:
  int Destination(const char* fileName) {
    std::string wanted = fileName != nullptr ? fileName : "";
    if (wanted != fileName_) {
      if (fd_ >= 0) close(fd_);
      fileName_ = wanted;
      fd_ = wanted.empty() ? -1 : open(wanted.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    }
    return fd_ >= 0 ? fd_ : STDERR_FILENO;
  }

  // Whole lines, one write: a line per line of the message, each with the
  // time since start, the process, the level and the category.
  static std::string Format(const Message& message) {
    using namespace std::chrono;
    static const auto start = steady_clock::now();
    double seconds = duration<double>(steady_clock::now() - start).count();
    char prefix[96];
    std::snprintf(prefix, sizeof prefix, "%12.6f %d %s %.*s: ", seconds, static_cast<int>(getpid()),
                  kLevelNames[message.level].data(), static_cast<int>(message.category.size()),
                  message.category.data());
    std::string out;
    std::string_view rest = message.text;
    while (rest.ends_with('\n') || rest.ends_with('\r')) rest.remove_suffix(1);
    do {
      auto newline = rest.find('\n');
      std::string_view line = rest.substr(0, newline);
      if (line.ends_with('\r')) line.remove_suffix(1);
      out.append(prefix).append(line).push_back('\n');
      rest = newline == std::string_view::npos ? std::string_view() : rest.substr(newline + 1);
    } while (!rest.empty());
    return out;
  }

  static void WriteAll(int fd, const std::string& text) {
    for (size_t done = 0; done < text.size();) {
      ssize_t written = write(fd, text.data() + done, text.size() - done);
      if (written < 0 && errno == EINTR) continue;
      if (written <= 0) return;
      done += static_cast<size_t>(written);
    }
  }

  std::mutex mutex_;
  std::string settings_;
  std::vector<Rule> rules_;
  std::string fileName_;
  int fd_ = -1;
};

}  // namespace

extern "C" void WINAPI OutputDebugStringA(LPCSTR text) {
  const char* settings = std::getenv("TEVRIN_LOG");
  if (text == nullptr || *text == '\0' || settings == nullptr || *settings == '\0') return;
  // Tracing must not disturb the error a caller is about to read.
  DWORD lastError = GetLastError();
  int savedErrno = errno;
  static auto* sink = new TraceSink;  // never destroyed: threads may trace during exit
  sink->Write(settings, std::getenv("TEVRIN_LOG_FILE"), text);
  errno = savedErrno;
  SetLastError(lastError);
}
