// Reply status codes in words.
#include <string>
#include <string_view>

#include "probe.h"

namespace tolvane::probe {

std::string_view EchoStatusWords(std::int32_t status) {
  switch (status) {
    case 0: return "ip success";
    case 200: return "ping timeout";
    case 11001: return "ip buf too_small";
    case 11002: return "ip dest net unreachable";
    case 11003: return "ip dest host unreachable";
    case 11004: return "ip dest prot unreachable";
    case 11005: return "ip dest port unreachable";
    case 11006: return "ip no resources";
    case 11007: return "ip bad option";
    case 11008: return "ip hw_error";
    case 11009: return "ip packet too_big";
    case 11010: return "ip req timed out";
    case 11011: return "ip bad req";
    case 11012: return "ip bad route";
    case 11013: return "ip ttl expired transit";
    case 11014: return "ip ttl expired reassem";
    case 11015: return "ip param_problem";
    case 11016: return "ip source quench";
    case 11017: return "ip option too_big";
    case 11018: return "ip bad destination";
    case 11019: return "ip addr deleted";
    case 11020: return "ip spec mtu change";
    case 11021: return "ip mtu_change";
    case 11022: return "ip unload";
    case 11023: return "ip addr added";
    case 11050: return "ip general failure";
    case 11255: return "ip pending";
    case kIcmpNotPermitted: return "icmp not permitted";
    default: return {};
  }
}

std::string EchoStatusText(std::int32_t status) {
  const std::string_view words = EchoStatusWords(status);
  if (words.empty()) return "unknown  msg returned";
  return std::to_string(status) + "   [ " + std::string(words) + " ]";
}

}  // namespace tolvane::probe
