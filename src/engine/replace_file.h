// Replacing a file's whole contents safely: the new contents go to a temporary file beside it,
// which is then renamed over the old one, so an interrupted write never leaves a damaged file.
#pragma once

#include <string>

// `path` is a host path. False, with a one-line reason in `error`, when the file could not be
// written; the old file is then left as it was.
bool ReplaceFile(const std::string& path, const std::string& contents, std::string& error);
