// Replacing a file's whole contents safely: the new contents go to a temporary file, are put on
// the disk, and the temporary file is renamed over the old one; then the folder's entry is put on
// the disk too. An interrupted write or a crash never leaves a damaged file behind.
#pragma once

#include <cstddef>
#include <string>

// `path` and `temp` are host paths in the same folder. False, with the reason in `reason`, when
// the file could not be replaced (the old one is then left as it was, and the temporary file is
// removed). True when it was; `reason` then says so if the folder could not be synced.
bool ReplaceFile(const std::string& path, const std::string& temp, const void* bytes, size_t count,
                 std::string& reason);
