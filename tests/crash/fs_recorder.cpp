// fs_recorder.cpp: an LD_PRELOAD library that writes down every file-system
// operation the program makes in one folder, for the crash-state tool.
//
// BRACKORA_RECORD_DIR names the folder (absolute) and BRACKORA_RECORD_LOG
// the log, opened in append mode so that the test driver can add its own
// lines ("mark", "unlink") in between. One line per operation:
//   open FD INODE TRUNCATED CREATED NAME    a file or the folder ("." ) opened
//   write INODE OFFSET HEXBYTES             bytes that reached the file
//   trunc INODE LENGTH
//   sync INODE                              fsync or fdatasync of a file
//   syncdir                                 fsync of the folder
//   rename FROM TO
//   unlink NAME
// Names outside the folder are not followed. Only the calls the program
// makes itself through the C library are seen, which covers every write of
// the transcript (reads do not matter to a crash).
#include <dlfcn.h>
#include <fcntl.h>
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <string>

namespace {

constexpr int kMaxFd = 4096;
// What each followed descriptor is: 0 not followed, else its inode; the
// folder itself is marked by isFolder.
ino_t followed[kMaxFd];
bool isFolder[kMaxFd];

std::string folder() {
  const char* dir = getenv("BRACKORA_RECORD_DIR");
  return dir != nullptr ? dir : "";
}

// The name inside the folder that path denotes, or "" when it is elsewhere.
// The program works with names relative to its working folder.
std::string nameIn(const char* path) {
  std::string p = path != nullptr ? path : "";
  std::string dir = folder();
  if (dir.empty()) return "";
  if (p.rfind(dir + "/", 0) == 0) p = p.substr(dir.size() + 1);
  else if (p == dir) p = ".";
  else if (!p.empty() && p[0] == '/') return "";
  while (p.rfind("./", 0) == 0) p = p.substr(2);
  if (p.empty() || p == "./") p = ".";
  if (p.find('/') != std::string::npos && p != "./") return "";
  return p;
}

void logLine(const std::string& line) {
  const char* log = getenv("BRACKORA_RECORD_LOG");
  if (log == nullptr) return;
  int fd = static_cast<int>(syscall(SYS_open, log, O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644));
  if (fd < 0) return;
  std::string text = line + "\n";
  syscall(SYS_write, fd, text.data(), text.size());
  syscall(SYS_close, fd);
}

std::string hex(const void* data, size_t size) {
  static const char digits[] = "0123456789abcdef";
  std::string out;
  const unsigned char* bytes = static_cast<const unsigned char*>(data);
  for (size_t i = 0; i < size; ++i) {
    out += digits[bytes[i] >> 4];
    out += digits[bytes[i] & 15];
  }
  return out.empty() ? "-" : out;
}

template <typename F>
F real(const char* name) {
  return reinterpret_cast<F>(dlsym(RTLD_NEXT, name));
}

bool known(int fd) { return fd >= 0 && fd < kMaxFd && (followed[fd] != 0 || isFolder[fd]); }

int afterOpen(int fd, const std::string& name, int flags, bool existed) {
  if (fd < 0 || fd >= kMaxFd || name.empty()) return fd;
  struct stat info;
  if (fstat(fd, &info) != 0) return fd;
  if (S_ISDIR(info.st_mode)) {
    isFolder[fd] = name == ".";
    if (isFolder[fd]) logLine("open " + std::to_string(fd) + " 0 0 0 .");
    return fd;
  }
  followed[fd] = info.st_ino;
  bool truncated = (flags & O_TRUNC) != 0 && (flags & O_ACCMODE) != O_RDONLY;
  logLine("open " + std::to_string(fd) + " " + std::to_string(info.st_ino) + " " +
          (truncated ? "1" : "0") + " " + (existed ? "0" : "1") + " " + name);
  return fd;
}

bool exists(const char* path) {
  struct stat info;
  return stat(path, &info) == 0;
}

int followOpen(int (*opener)(const char*, int, ...), const char* path, int flags,
               mode_t mode) {
  std::string name = nameIn(path);
  bool existed = !name.empty() && exists(path);
  return afterOpen(opener(path, flags, mode), name, flags, existed);
}

}  // namespace

extern "C" {

// The mode argument is there only when a file may be created.
#define OPEN_WRAPPER(name)                                                      \
  int name(const char* path, int flags, ...) {                                  \
    mode_t mode = 0;                                                            \
    if (flags & (O_CREAT | O_TMPFILE)) {                                        \
      va_list args;                                                             \
      va_start(args, flags);                                                    \
      mode = static_cast<mode_t>(va_arg(args, int));                            \
      va_end(args);                                                             \
    }                                                                           \
    return followOpen(real<int (*)(const char*, int, ...)>(#name), path, flags, \
                      mode);                                                    \
  }

OPEN_WRAPPER(open)
OPEN_WRAPPER(open64)

ssize_t write(int fd, const void* data, size_t size) {
  off_t offset = known(fd) ? lseek(fd, 0, SEEK_CUR) : 0;
  ssize_t n = real<ssize_t (*)(int, const void*, size_t)>("write")(fd, data, size);
  if (n > 0 && known(fd) && !isFolder[fd])
    logLine("write " + std::to_string(followed[fd]) + " " + std::to_string(offset) + " " +
            hex(data, static_cast<size_t>(n)));
  return n;
}

int ftruncate(int fd, off_t length) {
  int result = real<int (*)(int, off_t)>("ftruncate")(fd, length);
  if (result == 0 && known(fd))
    logLine("trunc " + std::to_string(followed[fd]) + " " + std::to_string(length));
  return result;
}

int fsync(int fd) {
  int result = real<int (*)(int)>("fsync")(fd);
  if (result == 0 && known(fd))
    logLine(isFolder[fd] ? std::string("syncdir") : "sync " + std::to_string(followed[fd]));
  return result;
}

int fdatasync(int fd) {
  int result = real<int (*)(int)>("fdatasync")(fd);
  if (result == 0 && known(fd))
    logLine(isFolder[fd] ? std::string("syncdir") : "sync " + std::to_string(followed[fd]));
  return result;
}

int close(int fd) {
  if (fd >= 0 && fd < kMaxFd) {
    followed[fd] = 0;
    isFolder[fd] = false;
  }
  return real<int (*)(int)>("close")(fd);
}

int rename(const char* from, const char* to) {
  int result = real<int (*)(const char*, const char*)>("rename")(from, to);
  std::string a = nameIn(from), b = nameIn(to);
  if (result == 0 && !a.empty() && !b.empty()) logLine("rename " + a + " " + b);
  return result;
}

int unlink(const char* path) {
  int result = real<int (*)(const char*)>("unlink")(path);
  std::string name = nameIn(path);
  if (result == 0 && !name.empty()) logLine("unlink " + name);
  return result;
}

}  // extern "C"
