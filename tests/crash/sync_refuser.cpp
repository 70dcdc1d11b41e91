// sync_refuser.cpp: an LD_PRELOAD library standing for a file system that
// does not force data to the disk: fsync and fdatasync fail with EINVAL, as
// they do on such file systems, and do nothing else.
#include <errno.h>

extern "C" {

int fsync(int) {
  errno = EINVAL;
  return -1;
}

int fdatasync(int) {
  errno = EINVAL;
  return -1;
}

}  // extern "C"
