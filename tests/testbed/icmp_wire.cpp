#include "testbed/icmp_wire.h"

#include <algorithm>
#include <cstring>

namespace tolvane::testbed {

namespace {

std::uint32_t Sum(std::span<const std::uint8_t> bytes) {
  std::uint32_t sum = 0;
  std::size_t i = 0;
  for (; i + 1 < bytes.size(); i += 2) sum += (std::uint32_t{bytes[i]} << 8) | bytes[i + 1];
  if (i < bytes.size()) sum += std::uint32_t{bytes[i]} << 8;
  while (sum >> 16) sum = (sum & 0xffff) + (sum >> 16);
  return sum;
}

std::uint16_t Get16(const std::uint8_t* p) { return static_cast<std::uint16_t>((p[0] << 8) | p[1]); }

void Put16(std::uint8_t* p, std::uint16_t v) {
  p[0] = static_cast<std::uint8_t>(v >> 8);
  p[1] = static_cast<std::uint8_t>(v);
}

}  // namespace

std::uint16_t InternetChecksum(std::span<const std::uint8_t> bytes) {
  return static_cast<std::uint16_t>(~Sum(bytes));
}

bool ChecksumValid(std::span<const std::uint8_t> icmp) { return Sum(icmp) == 0xffff; }

std::vector<std::uint8_t> BuildEcho(const Echo& echo) {
  std::vector<std::uint8_t> out(8 + echo.payload.size());
  out[0] = echo.type;
  out[1] = echo.code;
  Put16(&out[4], echo.id);
  Put16(&out[6], echo.seq);
  std::copy(echo.payload.begin(), echo.payload.end(), out.begin() + 8);
  Put16(&out[2], InternetChecksum(out));
  return out;
}

std::optional<Echo> ParseEcho(std::span<const std::uint8_t> icmp) {
  if (icmp.size() < 8) return std::nullopt;
  Echo e;
  e.type = icmp[0];
  e.code = icmp[1];
  e.id = Get16(&icmp[4]);
  e.seq = Get16(&icmp[6]);
  e.payload.assign(icmp.begin() + 8, icmp.end());
  return e;
}

std::optional<Ipv4View> ParseIpv4(std::span<const std::uint8_t> d) {
  if (d.size() < 20 || (d[0] >> 4) != 4) return std::nullopt;
  const std::size_t ihl = std::size_t{d[0] & 0x0fu} * 4;
  const std::size_t total = Get16(&d[2]);
  if (ihl < 20 || total < ihl || total > d.size()) return std::nullopt;
  Ipv4View v;
  v.ttl = d[8];
  v.protocol = d[9];
  std::memcpy(&v.src, &d[12], 4);
  std::memcpy(&v.dst, &d[16], 4);
  v.payload = d.subspan(ihl, total - ihl);
  return v;
}

}  // namespace tolvane::testbed
