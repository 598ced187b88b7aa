// ICMP echo on Windows: icmp.dll's service (in iphlpapi.dll today), one
// handle per probe, the reply converted to and from its packed form; and
// ICMPv6 echo through Icmp6SendEcho2, its reply buffer read by ReadReply6.
#include "echo_win.h"

// clang-format off
#include <winsock2.h>
#include <ws2tcpip.h>
#include <iphlpapi.h>
#include <icmpapi.h>
// clang-format on

#include <algorithm>
#include <memory>
#include <vector>

#include "echo6_reply.h"
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

// The service's failures leave an IP status in the last error.
std::int32_t IpStatus(DWORD error, std::int32_t otherwise) {
  return error >= kFirstIpStatus && error <= kLastIpStatus ? static_cast<std::int32_t>(error) : otherwise;
}

// The reply's time within the service's millisecond, from the time the
// call took (QueryPerformanceCounter ticks).
std::int64_t CallMicroseconds(const LARGE_INTEGER& start, const LARGE_INTEGER& end) {
  LARGE_INTEGER frequency{};
  QueryPerformanceFrequency(&frequency);
  return frequency.QuadPart > 0 ? (end.QuadPart - start.QuadPart) * 1'000'000 / frequency.QuadPart : -1;
}

// An echo service handle, closed with its owner.
using IcmpFile = std::unique_ptr<void, decltype([](HANDLE h) {
  if (h != INVALID_HANDLE_VALUE) IcmpCloseHandle(h);
})>;

class WinIcmpHandle final : public IcmpHandle {
 public:
  explicit WinIcmpHandle(std::size_t replyBufferSize) : handle_(IcmpCreateFile()), bufferSize_(replyBufferSize) {}

  std::uint32_t SendEcho(std::uint32_t destination, std::span<const char> request, EchoReply& reply,
                         std::uint32_t timeout_ms) override {
    if (destination == kNoAddress || destination == kBroadcast) return FailEcho(reply, kIpBadDestination);
    // Windows refuses a short buffer with IP_BUF_TOO_SMALL, but not every
    // implementation does so before sending: refuse it here, unsent.
    if (bufferSize_ < win::MinimumReplyBuffer(request.size())) return FailEcho(reply, kIpBufTooSmall);

    // 8-byte words: ICMP_ECHO_REPLY holds pointers.
    std::vector<std::uint64_t> words((bufferSize_ + 7) / 8);
    const std::span<std::byte> packed(reinterpret_cast<std::byte*>(words.data()), bufferSize_);
    win::PackReply(reply, packed);
    // The service takes the request as non-const but doesn't write it.
    std::vector<char> data(request.begin(), request.end());
    LARGE_INTEGER start{}, end{};
    SetLastError(ERROR_SUCCESS);
    QueryPerformanceCounter(&start);
    const DWORD replies = IcmpSendEcho(handle_.get(), destination, data.data(), static_cast<WORD>(data.size()), nullptr,
                                       packed.data(), static_cast<DWORD>(packed.size()), timeout_ms);
    const DWORD error = GetLastError();
    QueryPerformanceCounter(&end);
    win::UnpackReply(packed, reply);
    const std::int64_t call = CallMicroseconds(start, end);
    if (replies != 0 && reply.Status == kIpSuccess && call >= 0)
      reply.RoundTripMicroseconds = win::FinerRoundTrip(reply.RoundTripTime, call);
    if (replies == 0 && reply.Status == kIpSuccess) reply.Status = IpStatus(error, kIpSuccess);
    return replies;
  }

 private:
  IcmpFile handle_;
  std::size_t bufferSize_;
};

class WinIcmp6Handle final : public Icmp6Handle {
 public:
  WinIcmp6Handle() : handle_(Icmp6CreateFile()), openError_(GetLastError()) {}

  std::uint32_t SendEcho(const Address6& destination, std::span<const char> request, EchoReply& reply,
                         std::uint32_t timeout_ms) override {
    if (handle_.get() == INVALID_HANDLE_VALUE) return FailEcho(reply, IpStatus(openError_, kIpGeneralFailure));
    sockaddr_in6 source{};  // any: the system picks it
    source.sin6_family = AF_INET6;
    sockaddr_in6 to{};
    to.sin6_family = AF_INET6;
    std::copy(destination.bytes.begin(), destination.bytes.end(), to.sin6_addr.s6_addr);
    to.sin6_scope_id = destination.scope;
    const std::size_t size = win::Reply6BufferSize(request.size());
    std::vector<std::uint64_t> words((size + 7) / 8);  // aligned for the service's own view of it
    const std::span<std::byte> buffer(reinterpret_cast<std::byte*>(words.data()), size);
    std::vector<char> data(request.begin(), request.end());
    LARGE_INTEGER start{}, end{};
    SetLastError(ERROR_SUCCESS);
    QueryPerformanceCounter(&start);
    const DWORD replies = Icmp6SendEcho2(handle_.get(), nullptr, nullptr, nullptr, &source, &to, data.data(),
                                         static_cast<WORD>(data.size()), nullptr, buffer.data(),
                                         static_cast<DWORD>(buffer.size()), timeout_ms);
    const DWORD error = GetLastError();
    QueryPerformanceCounter(&end);
    const std::uint32_t taken = win::ReadReply6(buffer, replies, request.size(), reply);
    if (taken == 0) return FailEcho(reply, IpStatus(error, kIpGeneralFailure));
    if (reply.Status == kIpSuccess)
      reply.RoundTripMicroseconds = win::FinerRoundTrip(reply.RoundTripTime, CallMicroseconds(start, end));
    return taken;
  }

 private:
  IcmpFile handle_;
  DWORD openError_;
};

class WinIcmpService final : public IcmpService {
 public:
  explicit WinIcmpService(std::size_t replyBufferSize) : bufferSize_(replyBufferSize) {}
  std::unique_ptr<IcmpHandle> Open() override { return std::make_unique<WinIcmpHandle>(bufferSize_); }
  std::unique_ptr<Icmp6Handle> Open6() override { return std::make_unique<WinIcmp6Handle>(); }

 private:
  std::size_t bufferSize_;
};

}  // namespace

std::unique_ptr<IcmpService> MakeWindowsIcmpService(std::size_t replyBufferSize) {
  return std::make_unique<WinIcmpService>(replyBufferSize);
}

std::unique_ptr<IcmpService> MakeSystemIcmpService() { return MakeWindowsIcmpService(win::PackedReplySize()); }

}  // namespace tolvane::probe
