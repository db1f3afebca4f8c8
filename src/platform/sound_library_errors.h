// ALSA's own error lines, held back while the sound system starts. With no
// sound card ALSA prints eight or nine lines about the card and devices it
// cannot find before the game says the one that matters ("Error #A-001
// ..."); when the start works, whatever ALSA said may matter and is printed
// after all.
#pragma once

namespace qv::platform {

class HeldSoundLibraryErrors {
  public:
    // From now on ALSA's error lines are kept, not printed.
    HeldSoundLibraryErrors();
    // ALSA prints its own lines again; the kept ones are dropped.
    ~HeldSoundLibraryErrors();
    HeldSoundLibraryErrors(const HeldSoundLibraryErrors &) = delete;
    HeldSoundLibraryErrors &operator=(const HeldSoundLibraryErrors &) = delete;

    // Writes the kept lines to standard error, as ALSA would have.
    void print() const;

  private:
    void *library_ = nullptr; // libasound, when there is one
};

} // namespace qv::platform
