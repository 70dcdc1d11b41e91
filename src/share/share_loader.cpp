// share_loader.cpp: LoadedShareServer (see share_module.h): the module is
// opened with dlopen and every call goes through its table.
#include "share/share_module.h"

#include <dlfcn.h>
#include <limits.h>
#include <unistd.h>

#include <utility>

namespace {

// The folder of the running program, with its final '/'; empty when the
// kernel cannot say.
std::string programFolder() {
  char path[PATH_MAX];
  const ssize_t length = readlink("/proc/self/exe", path, sizeof path);
  if (length <= 0 || length == static_cast<ssize_t>(sizeof path)) return "";
  const std::string program(path, static_cast<size_t>(length));
  return program.substr(0, program.rfind('/') + 1);
}

// The module's table, or null with the reason in err. RTLD_NOW: a symbol
// the program fails to export is reported here rather than at the first
// request. A module that is refused is closed again; one that is accepted
// stays loaded for good (see share_module.h).
const ShareModule* loadModule(const std::string& path, std::string* err) {
  void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (handle == nullptr) {
    *err = std::string("module de partage illisible : ") + dlerror();
    return nullptr;
  }
  using Entry = const ShareModule* (*)();
  const auto entry = reinterpret_cast<Entry>(dlsym(handle, kShareModuleEntry));
  const ShareModule* module = entry != nullptr ? entry() : nullptr;
  if (module == nullptr || module->version != kShareModuleVersion) {
    *err = "pas le module de partage de cette version : " + path;
    dlclose(handle);
    return nullptr;
  }
  return module;
}

}  // namespace

LoadedShareServer::LoadedShareServer(std::string modulePath)
    : modulePath_(std::move(modulePath)) {
  if (modulePath_.empty()) modulePath_ = programFolder() + kShareModuleFile;
}

LoadedShareServer::~LoadedShareServer() {
  if (server_ != nullptr) module_->destroy(server_);
}

bool LoadedShareServer::start(int port, std::string* err) {
  if (module_ == nullptr) module_ = loadModule(modulePath_, err);
  if (module_ == nullptr) return false;
  if (server_ == nullptr) server_ = module_->create();
  return module_->start(server_, port, err);
}

int LoadedShareServer::port() const { return server_ != nullptr ? module_->port(server_) : 0; }

void LoadedShareServer::stop() {
  if (server_ != nullptr) module_->stop(server_);
}

std::string LoadedShareServer::firstLanAddress() const {
  return module_ != nullptr ? module_->firstLanAddress() : "";
}
