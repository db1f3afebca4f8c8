// Saving a small file without ever losing the old one, or what another
// copy of the game saved into it meanwhile.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace qv {

using Bytes = std::vector<std::uint8_t>;

// Makes the bytes to save from the bytes the file holds at that moment
// (none when there is no file): the place to keep what another copy of the
// game saved since this one read the file.
using MergeWithDisk = std::function<Bytes(const std::optional<Bytes> &held)>;

// Saves what `merge` makes, holding an advisory lock on the file from the
// read to the rename, so that two copies of the game saving at once take
// turns and each merges with what the other wrote. It never writes without
// the lock: it waits for another copy's save as long as that takes, saying
// once after a second which file waits, and a close request (the player
// leaving) ends the wait, unsaved, saying so. The folder is made first if
// need be. A symbolic link is written through: its target gets the new
// bytes and the link stays. What is not a regular file (a FIFO, a device,
// a folder; through a link, its target) is never replaced, nor a lock made
// beside it; nor is a lock file made through a link. When the file already
// holds the bytes to save nothing is written and nothing synced. On failure
// this warns on stderr, but only the first time for that file in this run
// (a full disk must not flood the terminal at every stage start), and
// returns false.
bool save_file(const std::string &path, const MergeWithDisk &merge);
// The saved file's first `most` bytes, or none when there is none or it
// cannot be read. One that is not a regular file is read as none, and
// reported as save_file reports it: once.
std::optional<Bytes> read_saved_file(const std::string &path, std::size_t most);
// Starts a new run: failures warn again.
void forget_save_warnings();
// A new temporary file beside `path`, for writing (O_EXCL: no other save
// has it), named in it; -1 with errno.
int create_temporary(const std::string &path, std::string &temp);

// Removes the temporary files that saves of `path` left behind when the
// game was killed mid-save (a crash, a power cut, a closed terminal). It
// takes the file's lock first: a save in flight holds it, whatever process
// namespace its game runs in, so only the leftovers of dead saves go.
void remove_stale_temporaries(const std::string &path);

} // namespace qv
