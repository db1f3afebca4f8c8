#include "platform/sound_library_errors.h"

#include <cstdarg>
#include <cstdio>
#include <string>

#include <dlfcn.h>

namespace qv::platform {

namespace {

// ALSA's error handler and the two functions that set it and name an
// error, as its <alsa/error.h> declares them. They are looked up in the
// library Allegro's sound module uses, so the game needs neither ALSA's
// headers to build nor ALSA to run.
using ErrorHandler = void (*)(const char *file, int line, const char *function, int err,
                              const char *fmt, ...);
using SetHandler = int (*)(ErrorHandler);
using ErrorText = const char *(*)(int);

constexpr const char *ALSA_LIBRARY = "libasound.so.2";

// The lines ALSA gave while held; only the main thread starts the sound.
std::string held;
ErrorText error_text = nullptr;

// ALSA's own format: "ALSA lib FILE:LINE:(FUNCTION) MESSAGE[: ERROR]".
constexpr int MESSAGE_MAX = 1024; // longer messages are cut
void keep_line(const char *file, int line, const char *function, int err, const char *fmt, ...) {
    char message[MESSAGE_MAX];
    va_list ap;
    va_start(ap, fmt);
    std::vsnprintf(message, sizeof message, fmt, ap);
    va_end(ap);
    held += std::string("ALSA lib ") + file + ":" + std::to_string(line) + ":(" + function + ") " +
            message;
    if (err && error_text) held += std::string(": ") + error_text(err);
    held += '\n';
}

SetHandler set_handler(void *library) {
    return library ? reinterpret_cast<SetHandler>(dlsym(library, "snd_lib_error_set_handler"))
                   : nullptr;
}

} // namespace

HeldSoundLibraryErrors::HeldSoundLibraryErrors() : library_(dlopen(ALSA_LIBRARY, RTLD_LAZY)) {
    held.clear();
    if (const SetHandler set = set_handler(library_)) {
        error_text = reinterpret_cast<ErrorText>(dlsym(library_, "snd_strerror"));
        set(keep_line);
    }
}

HeldSoundLibraryErrors::~HeldSoundLibraryErrors() {
    // ALSA's own handler again.
    if (const SetHandler set = set_handler(library_)) set(nullptr);
    if (library_) dlclose(library_);
    held.clear();
}

void HeldSoundLibraryErrors::print() const { std::fputs(held.c_str(), stderr); }

} // namespace qv::platform
