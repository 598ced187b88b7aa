// A style plugin as an attacker would drop it next to the program: when the
// program loads it, it notes what it could do with the program's
// privileges, in the file named by TOLVANE_HOSTILE_REPORT.
#include <QStyleFactory>
#include <QStylePlugin>

#include <linux/if_ether.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

namespace {

bool Opens(int domain, int type, int protocol) {
  const int fd = socket(domain, type, protocol);
  if (fd >= 0) close(fd);
  return fd >= 0;
}

// At load time, before Qt asks for any style.
__attribute__((constructor)) void Report() {
  const char* path = std::getenv("TOLVANE_HOSTILE_REPORT");
  if (path == nullptr) return;
  std::string capEff = "?";
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);)
    if (line.rfind("CapEff:", 0) == 0) capEff = line.substr(8);
  std::FILE* out = std::fopen(path, "a");
  if (out == nullptr) return;
  std::fprintf(out, "loaded: uid %u CapEff %s packet socket %s raw IP socket %s\n", getuid(), capEff.c_str(),
               Opens(AF_PACKET, SOCK_RAW, htons(ETH_P_ALL)) ? "opened" : "refused",
               Opens(AF_INET, SOCK_RAW, IPPROTO_RAW) ? "opened" : "refused");
  std::fclose(out);
}

}  // namespace

class HostileStylePlugin : public QStylePlugin {
  Q_OBJECT
  Q_PLUGIN_METADATA(IID QStyleFactoryInterface_iid FILE "hostile_style.json")

 public:
  QStyle* create(const QString&) override { return QStyleFactory::create("Fusion"); }
};

#include "hostile_style.moc"
