// Keeps lin.xpl loadable on Linux systems with a C library as old as 2.31.
//
// The C++ runtime is linked into the module, and the copy of it on the build
// machine refers to C library symbols that only newer systems provide: a
// version the loader cannot find there makes the host refuse the whole
// plug-in. The link renames those references (-Wl,--wrap=NAME, see
// src/CMakeLists.txt) to the functions below, which reach the same service
// through interfaces every supported system has: the thread functions under
// their original version (before 2.34 they lived in libpthread, which the
// module therefore names as a dependency), and the rest through system calls
// or older C library calls. scripts/check-module.sh fails the build when a
// newer version slips in again.
#define _GNU_SOURCE
#include <dlfcn.h>
#include <errno.h>
#include <fcntl.h>
#include <link.h>
#include <pthread.h>
#include <stdint.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#define EXPORT_NONE __attribute__((visibility("hidden")))

// ---- thread functions, at their original version ---------------------------
// The assembler binds each old_NAME reference to NAME@GLIBC_2.2.5.

int old_pthread_once(pthread_once_t* once, void (*init)(void));
int old_pthread_key_create(pthread_key_t* key, void (*destructor)(void*));
int old___pthread_key_create(pthread_key_t* key, void (*destructor)(void*));
int old_pthread_key_delete(pthread_key_t key);
void* old_pthread_getspecific(pthread_key_t key);
int old_pthread_setspecific(pthread_key_t key, const void* value);
int old_pthread_rwlock_rdlock(pthread_rwlock_t* lock);
int old_pthread_rwlock_wrlock(pthread_rwlock_t* lock);
int old_pthread_rwlock_unlock(pthread_rwlock_t* lock);
__asm__(".symver old_pthread_once, pthread_once@GLIBC_2.2.5");
__asm__(".symver old_pthread_key_create, pthread_key_create@GLIBC_2.2.5");
__asm__(".symver old___pthread_key_create, __pthread_key_create@GLIBC_2.2.5");
__asm__(".symver old_pthread_key_delete, pthread_key_delete@GLIBC_2.2.5");
__asm__(".symver old_pthread_getspecific, pthread_getspecific@GLIBC_2.2.5");
__asm__(".symver old_pthread_setspecific, pthread_setspecific@GLIBC_2.2.5");
__asm__(".symver old_pthread_rwlock_rdlock, pthread_rwlock_rdlock@GLIBC_2.2.5");
__asm__(".symver old_pthread_rwlock_wrlock, pthread_rwlock_wrlock@GLIBC_2.2.5");
__asm__(".symver old_pthread_rwlock_unlock, pthread_rwlock_unlock@GLIBC_2.2.5");

EXPORT_NONE int __wrap_pthread_once(pthread_once_t* once, void (*init)(void)) { return old_pthread_once(once, init); }
EXPORT_NONE int __wrap_pthread_key_create(pthread_key_t* key, void (*destructor)(void*)) {
  return old_pthread_key_create(key, destructor);
}
EXPORT_NONE int __wrap___pthread_key_create(pthread_key_t* key, void (*destructor)(void*)) {
  return old___pthread_key_create(key, destructor);
}
EXPORT_NONE int __wrap_pthread_key_delete(pthread_key_t key) { return old_pthread_key_delete(key); }
EXPORT_NONE void* __wrap_pthread_getspecific(pthread_key_t key) { return old_pthread_getspecific(key); }
EXPORT_NONE int __wrap_pthread_setspecific(pthread_key_t key, const void* value) {
  return old_pthread_setspecific(key, value);
}
EXPORT_NONE int __wrap_pthread_rwlock_rdlock(pthread_rwlock_t* lock) { return old_pthread_rwlock_rdlock(lock); }
EXPORT_NONE int __wrap_pthread_rwlock_wrlock(pthread_rwlock_t* lock) { return old_pthread_rwlock_wrlock(lock); }
EXPORT_NONE int __wrap_pthread_rwlock_unlock(pthread_rwlock_t* lock) { return old_pthread_rwlock_unlock(lock); }

// ---- the rest -------------------------------------------------------------

// The runtime skips atomic operations while the process has one thread. The
// host runs many, and an older C library has no such flag: never claim it.
EXPORT_NONE char __wrap___libc_single_threaded = 0;

// On this architecture the kernel's stat record is the library's stat64.
EXPORT_NONE int __wrap_fstat64(int fd, struct stat64* out) { return (int)syscall(SYS_fstat, fd, out); }

// Random bytes for std::random_device: the kernel's generator, else its
// device file; with neither there is no safe value to give.
EXPORT_NONE uint32_t __wrap_arc4random(void) {
  uint32_t value = 0;
  for (;;) {
    const long n = syscall(SYS_getrandom, &value, sizeof value, 0);
    if (n == (long)sizeof value) return value;
    if (n < 0 && errno == EINTR) continue;
    break;
  }
  const int fd = open("/dev/urandom", O_RDONLY | O_CLOEXEC);
  if (fd >= 0) {
    const ssize_t n = read(fd, &value, sizeof value);
    close(fd);
    if (n == (ssize_t)sizeof value) return value;
  }
  abort();
}

// The unwinder's question "which loaded object holds this code address, and
// where is its unwind table": answered from the program headers, as older
// systems' unwinders did.
struct FindRequest {
  uintptr_t pc;
  struct dl_find_object* out;
  int found;
};

static int find_object(struct dl_phdr_info* info, size_t size, void* data) {
  (void)size;
  struct FindRequest* request = (struct FindRequest*)data;
  uintptr_t low = UINTPTR_MAX;
  uintptr_t high = 0;
  uintptr_t eh_frame = 0;
  int inside = 0;
  for (ElfW(Half) i = 0; i < info->dlpi_phnum; ++i) {
    const ElfW(Phdr)* p = &info->dlpi_phdr[i];
    const uintptr_t start = info->dlpi_addr + p->p_vaddr;
    if (p->p_type == PT_LOAD) {
      const uintptr_t end = start + p->p_memsz;
      if (request->pc >= start && request->pc < end) inside = 1;
      if (start < low) low = start;
      if (end > high) high = end;
    } else if (p->p_type == PT_GNU_EH_FRAME) {
      eh_frame = start;
    }
  }
  if (!inside) return 0;
  request->out->dlfo_flags = 0;
  request->out->dlfo_map_start = (void*)low;
  request->out->dlfo_map_end = (void*)high;
  request->out->dlfo_link_map = NULL;
  request->out->dlfo_eh_frame = (void*)eh_frame;
  request->found = 1;
  return 1;
}

EXPORT_NONE int __wrap__dl_find_object(void* pc, struct dl_find_object* out) {
  struct FindRequest request = {(uintptr_t)pc, out, 0};
  dl_iterate_phdr(find_object, &request);
  return request.found ? 0 : -1;
}
