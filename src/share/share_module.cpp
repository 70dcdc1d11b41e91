// share_module.cpp: the entry point of the page server's module (see
// share_module.h), built into it with share_server.cpp. Everything else in
// the module is hidden; this table is all the program sees.
#include "share/share_module.h"

#include "share/share_server.h"

namespace {

ShareServer* asServer(void* server) { return static_cast<ShareServer*>(server); }

void* create() { return new ShareServer; }
void destroy(void* server) { delete asServer(server); }
bool start(void* server, int port, std::string* err) { return asServer(server)->start(port, err); }
int port(const void* server) { return static_cast<const ShareServer*>(server)->port(); }
void stop(void* server) { asServer(server)->stop(); }
std::string lanAddress() { return firstLanAddress(); }

}  // namespace

extern "C" __attribute__((visibility("default"))) const ShareModule* brackoraShareModule() {
  static const ShareModule module = {kShareModuleVersion, create, destroy, start,
                                     port,                stop,   lanAddress};
  return &module;
}
