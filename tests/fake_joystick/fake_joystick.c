/* A gamepad for the tests, slipped under Allegro's real Linux joystick
 * driver (and the game) by LD_PRELOAD in place of the kernel's device.
 *
 * QV_FAKE_JOYSTICK_DIR names a folder. /dev/input/jsN is DIR/jsN, a named
 * pipe the test writes js_event records into, and is there only while that
 * pipe and its layout DIR/jsN.layout are; /dev/jsN is never there. The
 * joystick ioctls are answered from the layout, lines of:
 *     name <text>
 *     axes <ABS_ code> ...      the axes in the kernel's order
 *     rest <value> ...          where each axis rests (0 when left out)
 *     buttons <BTN_ code> ...   the buttons in the kernel's order
 * As from the kernel, each open first reads the pad at rest (JS_EVENT_INIT
 * records). Without QV_FAKE_JOYSTICK_DIR everything passes through. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <errno.h>
#include <fcntl.h>
#include <linux/joystick.h>
#include <pthread.h>
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/ioctl.h>
#include <unistd.h>

#define MAX_FDS 1024

struct layout {
    char name[128];
    unsigned char axes, buttons;
    __u8 axis_map[ABS_CNT];
    __s16 rest[ABS_CNT];
    __u16 button_map[KEY_MAX - BTN_MISC + 1];
};

static struct layout *devices[MAX_FDS]; /* by descriptor */
static pthread_mutex_t devices_lock = PTHREAD_MUTEX_INITIALIZER;

/* Marks the library as loaded, for the tests to check. */
int qv_fake_joystick_loaded = 1;

static void *next(const char *name) { return dlsym(RTLD_NEXT, name); }

/* 1 when path is a joystick device: *pipe is then its pipe, or empty for
 * a device that is never there. */
static int pipe_of(const char *path, char *pipe, size_t size) {
    const char *dir = getenv("QV_FAKE_JOYSTICK_DIR");
    unsigned n;
    char rest;
    if (!dir || !path) return 0;
    if (sscanf(path, "/dev/input/js%u%c", &n, &rest) == 1) {
        snprintf(pipe, size, "%s/js%u", dir, n);
        return 1;
    }
    if (sscanf(path, "/dev/js%u%c", &n, &rest) == 1) {
        pipe[0] = 0;
        return 1;
    }
    return 0;
}

/* Reads the numbers after a line's keyword into out (at most max). */
static int numbers(const char *text, long *out, int max) {
    int count = 0;
    char *end;
    for (long v = strtol(text, &end, 0); end != text && count < max; v = strtol(text, &end, 0)) {
        out[count++] = v;
        text = end;
    }
    return count;
}

static struct layout *read_layout(const char *pipe) {
    char file[4200], line[1024];
    long v[ABS_CNT > 256 ? ABS_CNT : 256];
    snprintf(file, sizeof file, "%s.layout", pipe);
    FILE *in = fopen(file, "r");
    if (!in) return NULL;
    struct layout *l = calloc(1, sizeof *l);
    while (fgets(line, sizeof line, in)) {
        line[strcspn(line, "\n")] = 0;
        if (strncmp(line, "name ", 5) == 0) {
            const size_t n = strlen(line + 5);
            memcpy(l->name, line + 5, n < sizeof l->name ? n : sizeof l->name - 1);
        }
        if (strncmp(line, "axes ", 5) == 0) {
            l->axes = (unsigned char)numbers(line + 5, v, ABS_CNT);
            for (int a = 0; a < l->axes; ++a) l->axis_map[a] = (__u8)v[a];
        }
        if (strncmp(line, "rest ", 5) == 0) {
            const int n = numbers(line + 5, v, ABS_CNT);
            for (int a = 0; a < n; ++a) l->rest[a] = (__s16)v[a];
        }
        if (strncmp(line, "buttons ", 8) == 0) {
            l->buttons = (unsigned char)numbers(line + 8, v, 256);
            for (int b = 0; b < l->buttons; ++b) l->button_map[b] = (__u16)v[b];
        }
    }
    fclose(in);
    return l;
}

/* The pad at rest, as the kernel tells every new reader. */
static void tell_rest(const char *pipe, const struct layout *l) {
    int (*real_open)(const char *, int, ...) = next("open");
    const int fd = real_open(pipe, O_WRONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return;
    for (int i = 0; i < l->axes + l->buttons; ++i) {
        struct js_event e = {0, 0, JS_EVENT_INIT, 0};
        const int axis = i < l->axes;
        e.type |= axis ? JS_EVENT_AXIS : JS_EVENT_BUTTON;
        e.number = (__u8)(axis ? i : i - l->axes);
        e.value = axis ? l->rest[i] : 0;
        if (write(fd, &e, sizeof e) != (ssize_t)sizeof e) break;
    }
    close(fd);
}

/* Allegro's driver and the game open devices with open() alone. */
int open(const char *path, int flags, ...) {
    int (*real_open)(const char *, int, ...) = next("open");
    char pipe[4096];
    if (!pipe_of(path, pipe, sizeof pipe)) {
        va_list ap;
        va_start(ap, flags);
        const mode_t mode = (flags & (O_CREAT | O_TMPFILE)) ? va_arg(ap, mode_t) : 0;
        va_end(ap);
        return real_open(path, flags, mode);
    }
    struct layout *l = pipe[0] ? read_layout(pipe) : NULL;
    const int fd = l ? real_open(pipe, O_RDONLY | O_NONBLOCK | (flags & O_CLOEXEC)) : -1;
    if (fd < 0 || fd >= MAX_FDS) {
        if (fd >= 0) close(fd);
        free(l);
        errno = ENOENT;
        return -1;
    }
    tell_rest(pipe, l);
    pthread_mutex_lock(&devices_lock);
    free(devices[fd]);
    devices[fd] = l;
    pthread_mutex_unlock(&devices_lock);
    return fd;
}

int access(const char *path, int mode) {
    int (*real_access)(const char *, int) = next("access");
    char pipe[4096], layout[4200];
    if (!pipe_of(path, pipe, sizeof pipe)) return real_access(path, mode);
    snprintf(layout, sizeof layout, "%s.layout", pipe);
    if (pipe[0] && real_access(pipe, mode) == 0 && real_access(layout, F_OK) == 0) return 0;
    errno = ENOENT;
    return -1;
}

static int copy_out(void *arg, const void *from, size_t have, unsigned long request) {
    const size_t n = _IOC_SIZE(request) < have ? _IOC_SIZE(request) : have;
    memcpy(arg, from, n);
    return (int)n;
}

static int answer(const struct layout *l, unsigned long request, void *arg) {
    switch (_IOC_NR(request)) {
    case _IOC_NR(JSIOCGVERSION): *(__u32 *)arg = JS_VERSION; return 0;
    case _IOC_NR(JSIOCGAXES): *(__u8 *)arg = l->axes; return 0;
    case _IOC_NR(JSIOCGBUTTONS): *(__u8 *)arg = l->buttons; return 0;
    case _IOC_NR(JSIOCGNAME(0)): return copy_out(arg, l->name, strlen(l->name) + 1, request);
    case _IOC_NR(JSIOCGAXMAP): return copy_out(arg, l->axis_map, sizeof l->axis_map, request);
    case _IOC_NR(JSIOCGBTNMAP): return copy_out(arg, l->button_map, sizeof l->button_map, request);
    }
    errno = EINVAL;
    return -1;
}

int ioctl(int fd, unsigned long request, ...) {
    int (*real_ioctl)(int, unsigned long, ...) = next("ioctl");
    va_list ap;
    va_start(ap, request);
    void *arg = va_arg(ap, void *);
    va_end(ap);
    if (fd >= 0 && fd < MAX_FDS && _IOC_TYPE(request) == 'j') {
        pthread_mutex_lock(&devices_lock);
        const int answered = devices[fd] != NULL;
        const int result = answered ? answer(devices[fd], request, arg) : 0;
        pthread_mutex_unlock(&devices_lock);
        if (answered) return result;
    }
    return real_ioctl(fd, request, arg);
}
