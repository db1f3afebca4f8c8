/* Holds a copy of the game inside its saves, as a slow disk or a stopped
 * process would: loaded with LD_PRELOAD, every fsync waits while the file
 * named by QV_HOLD_FSYNC is there, after making "<that name>.held" to tell
 * the test that the copy is inside. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <unistd.h>

int fsync(int fd) {
    const char *gate = getenv("QV_HOLD_FSYNC");
    if (gate && access(gate, F_OK) == 0) {
        char held[4096];
        snprintf(held, sizeof held, "%s.held", gate);
        close(open(held, O_WRONLY | O_CREAT | O_CLOEXEC, 0644));
        while (access(gate, F_OK) == 0) usleep(20000);
    }
    int (*real_fsync)(int) = (int (*)(int))dlsym(RTLD_NEXT, "fsync");
    return real_fsync(fd);
}
