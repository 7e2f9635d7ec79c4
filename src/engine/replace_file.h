// Replacing a file's whole contents safely: the new contents go to a temporary file, are put on
// the disk, and the temporary file is renamed over the old one; then the folder's entry is put on
// the disk too. An interrupted write or a crash never leaves a damaged file behind.
#pragma once

#include <cstddef>
#include <string>

// `path` is a host path. A symbolic link is followed to the file it names, which is replaced in
// its own folder, so the link stays a link. The file keeps its permissions; one that nobody may
// write, or that is not a regular file, is refused. The temporary file is made beside it under a
// fresh random name, and never through anything already there.
//
// False, with the reason in `reason`, when the file could not be replaced (the old one is then left
// as it was, and the temporary file is removed). True when it was; `reason` then says so if the
// folder could not be synced.
bool ReplaceFile(const std::string& path, const void* bytes, size_t count, std::string& reason);
