// How long "Ping" holds the window for a name that no name server answers,
// and how many questions the name server got meanwhile. Inside the test
// bed's client namespace the resolver asks 127.0.0.1:53; a socket there
// reads every question and answers none, so each lookup runs into the
// resolver's time-out (resolv.conf's, or RES_OPTIONS'). Prints figures;
// fails only when it can't run.
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <mutex>
#include <string>
#include <thread>

#include "app/engine.h"
#include "testbed/testbed.h"

namespace {

using namespace tolvane;

constexpr int kPresses = 3;

// A name server that never answers: it counts the questions by type.
class SilentNameServer {
 public:
  bool Open() {
    fd_ = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(53);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (fd_ < 0 || bind(fd_, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) return false;
    reader_ = std::thread([this] { Read(); });
    return true;
  }
  ~SilentNameServer() {
    stop_ = true;
    if (reader_.joinable()) reader_.join();
    if (fd_ >= 0) close(fd_);
  }
  // "A 1, AAAA 1", and forgets them.
  std::string Questions() {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));  // the last one read
    const std::lock_guard lock(mutex_);
    std::string text;
    for (const auto& [type, count] : types_) {
      const char* name = type == 1 ? "A" : type == 28 ? "AAAA" : nullptr;
      text += (text.empty() ? "" : ", ") + (name ? std::string(name) : "type " + std::to_string(type)) + " " +
              std::to_string(count);
    }
    types_.clear();
    return text.empty() ? "none" : text;
  }

 private:
  void Read() {
    unsigned char query[512];
    while (!stop_) {
      pollfd ready{fd_, POLLIN, 0};
      if (poll(&ready, 1, 50) <= 0) continue;
      const ssize_t size = recv(fd_, query, sizeof query, 0);
      // One question: the 12-byte header, the name, then type and class.
      if (size < 17) continue;
      const std::lock_guard lock(mutex_);
      ++types_[query[size - 4] << 8 | query[size - 3]];
    }
  }

  int fd_ = -1;
  std::atomic<bool> stop_{false};
  std::thread reader_;
  std::mutex mutex_;
  std::map<int, int> types_;
};

class QuietView final : public ui::RunView {
 public:
  void SetRowCount(std::int16_t) override {}
  void SetHostText(const std::string&) override {}
  void SelectRow(std::int16_t) override {}
  void SetRowLabel(const std::string&) override {}
  void SetRowValue(const std::string&) override {}
  void SetRowToolTip(const std::string&) override {}
  void SetCurrentText(const std::string&) override {}
  void SetResultsText(const std::string&) override {}
  void ShowStop(bool) override {}
  void SetTimerPeriod(std::int32_t) override {}
  void SetTimerEnabled(bool) override {}
  void ShowMessage(const std::string& text, BoxIcon) override { said = text; }
  std::string said;
};

}  // namespace

int main() {
  std::string why;
  if (!testbed::Available(&why)) {
    std::printf("press_bench: no test bed (%s)\n", why.c_str());
    return testbed::Required() ? 1 : 77;
  }
  SilentNameServer server;
  if (!server.Open()) {
    std::printf("press_bench: can't listen on 127.0.0.1:53\n");
    return 1;
  }
  QuietView view;
  ui::WiredRun wired(ui::SystemEngine(), view, ui::NumberSeparators{}, "press_bench");
  const char* options = std::getenv("RES_OPTIONS");
  std::printf("\"Ping\" on %s, which no name server answers (resolver options: resolv.conf's%s%s):\n",
              testbed::kUnknownName, options ? ", then RES_OPTIONS " : "", options ? options : "");
  for (int i = 0; i < kPresses; ++i) {
    view.said.clear();
    const auto start = std::chrono::steady_clock::now();
    wired.run().Press({testbed::kUnknownName, "6", "2"});
    const std::chrono::duration<double> held = std::chrono::steady_clock::now() - start;
    std::printf("  press %d: the window held %.2f s; questions: %s; then \"%s\"\n", i + 1, held.count(),
                server.Questions().c_str(), view.said.c_str());
  }
  return 0;
}
