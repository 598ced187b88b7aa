// ICMP echo on Windows: icmp.dll's service (in iphlpapi.dll today), one
// handle per probe, the reply converted to and from its packed form.
#include "echo_win.h"

// clang-format off
#include <winsock2.h>
#include <iphlpapi.h>
#include <icmpapi.h>
// clang-format on

#include <vector>

#include "echo_reply_win.h"
#include "probe.h"

namespace tolvane::probe {
namespace {

// IcmpSendEcho puts an IP status in the thread's last error when it fails.
constexpr DWORD kFirstIpStatus = 11000;
constexpr DWORD kLastIpStatus = 11999;

// What DottedToAddress gives for a text that isn't an address, and the
// limited broadcast: neither is ever a probe's destination.
constexpr std::uint32_t kNoAddress = 0;
constexpr std::uint32_t kBroadcast = 0xFFFFFFFF;

class WinIcmpHandle final : public IcmpHandle {
 public:
  explicit WinIcmpHandle(std::size_t replyBufferSize) : handle_(IcmpCreateFile()), bufferSize_(replyBufferSize) {}

  ~WinIcmpHandle() override {
    if (handle_ != INVALID_HANDLE_VALUE) IcmpCloseHandle(handle_);
  }

  WinIcmpHandle(const WinIcmpHandle&) = delete;
  WinIcmpHandle& operator=(const WinIcmpHandle&) = delete;

  std::uint32_t SendEcho(std::uint32_t destination, std::span<const char> request, EchoReply& reply,
                         std::uint32_t timeout_ms) override {
    if (destination == kNoAddress || destination == kBroadcast) return Fail(reply, kIpBadDestination);
    // Windows refuses a short buffer with IP_BUF_TOO_SMALL, but not every
    // implementation does so before sending: refuse it here, unsent.
    if (bufferSize_ < win::MinimumReplyBuffer(request.size())) return Fail(reply, kIpBufTooSmall);

    // 8-byte words: ICMP_ECHO_REPLY holds pointers.
    std::vector<std::uint64_t> words((bufferSize_ + 7) / 8);
    const std::span<std::byte> packed(reinterpret_cast<std::byte*>(words.data()), bufferSize_);
    win::PackReply(reply, packed);
    // The service takes the request as non-const but doesn't write it.
    std::vector<char> data(request.begin(), request.end());
    LARGE_INTEGER frequency{}, start{}, end{};
    QueryPerformanceFrequency(&frequency);
    SetLastError(ERROR_SUCCESS);
    QueryPerformanceCounter(&start);
    const DWORD replies = IcmpSendEcho(handle_, destination, data.data(), static_cast<WORD>(data.size()), nullptr,
                                       packed.data(), static_cast<DWORD>(packed.size()), timeout_ms);
    const DWORD error = GetLastError();
    QueryPerformanceCounter(&end);
    win::UnpackReply(packed, reply);
    if (replies != 0 && reply.Status == kIpSuccess && frequency.QuadPart > 0) {
      const std::int64_t ticks = end.QuadPart - start.QuadPart;
      reply.RoundTripMicroseconds = win::FinerRoundTrip(reply.RoundTripTime, ticks * 1'000'000 / frequency.QuadPart);
    }
    if (replies == 0 && reply.Status == kIpSuccess && error >= kFirstIpStatus && error <= kLastIpStatus)
      reply.Status = static_cast<std::int32_t>(error);
    return replies;
  }

 private:
  static std::uint32_t Fail(EchoReply& reply, std::int32_t status) {
    reply.Status = status;
    return 0;
  }

  HANDLE handle_;
  std::size_t bufferSize_;
};

class WinIcmpService final : public IcmpService {
 public:
  explicit WinIcmpService(std::size_t replyBufferSize) : bufferSize_(replyBufferSize) {}
  std::unique_ptr<IcmpHandle> Open() override { return std::make_unique<WinIcmpHandle>(bufferSize_); }

 private:
  std::size_t bufferSize_;
};

}  // namespace

std::unique_ptr<IcmpService> MakeWindowsIcmpService(std::size_t replyBufferSize) {
  return std::make_unique<WinIcmpService>(replyBufferSize);
}

std::unique_ptr<IcmpService> MakeSystemIcmpService() { return MakeWindowsIcmpService(win::PackedReplySize()); }

}  // namespace tolvane::probe
