// Where the player's settings and records are kept: files on disk for play,
// memory for a replay (the recording's start files, so that a replay never
// writes a file) and for tests.
#pragma once

#include "persist/atomic_file.h"

#include <array>
#include <optional>
#include <string>

namespace qv {

// The files' names, in whatever folder holds them.
inline constexpr const char *SETTINGS_FILE = "w_config.def";
inline constexpr const char *RECORDS_FILE = "assist.def";

enum class SaveFile { Settings = 0, Records = 1 };
inline constexpr int SAVE_FILE_COUNT = 2;

class Saves {
  public:
    virtual ~Saves() = default;
    // The file's bytes (at most `most`), or none when there is none.
    virtual std::optional<Bytes> read(SaveFile f, std::size_t most) = 0;
    // Saves what `merge` makes of the bytes held now; false on failure.
    virtual bool save(SaveFile f, const MergeWithDisk &merge) = 0;
    // Tidies what a killed game may have left of a save.
    virtual void clean(SaveFile) {}
    // Tells one kept file from another (a path, or a name in memory).
    virtual std::string name(SaveFile f) const = 0;
};

// The files at these paths ("" for one that is kept nowhere).
class FileSaves : public Saves {
  public:
    FileSaves(std::string settings, std::string records) : paths_{std::move(settings), std::move(records)} {}
    std::optional<Bytes> read(SaveFile f, std::size_t most) override;
    bool save(SaveFile f, const MergeWithDisk &merge) override;
    void clean(SaveFile f) override;
    std::string name(SaveFile f) const override { return path(f); }

  private:
    const std::string &path(SaveFile f) const { return paths_[static_cast<int>(f)]; }
    std::array<std::string, SAVE_FILE_COUNT> paths_;
};

// Files in memory, as given (none: no file).
class MemorySaves : public Saves {
  public:
    MemorySaves(std::optional<Bytes> settings, std::optional<Bytes> records)
        : files_{std::move(settings), std::move(records)} {}
    std::optional<Bytes> read(SaveFile f, std::size_t most) override;
    bool save(SaveFile f, const MergeWithDisk &merge) override;
    std::string name(SaveFile f) const override;

  private:
    std::array<std::optional<Bytes>, SAVE_FILE_COUNT> files_;
};

// The saves in use: the ones put in place, else the files SETTINGS_FILE and
// RECORDS_FILE in the current folder.
Saves &saves();

// Puts saves in place for its lifetime.
class UseSaves {
  public:
    explicit UseSaves(Saves &s);
    ~UseSaves();
    UseSaves(const UseSaves &) = delete;
    UseSaves &operator=(const UseSaves &) = delete;

  private:
    Saves *previous_;
};

} // namespace qv
