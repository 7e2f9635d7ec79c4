#include "engine/replace_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

bool ReplaceFile(const std::string& path, const std::string& contents, std::string& error) {
    const std::string temp = path + ".tmp";
    std::FILE* f = std::fopen(temp.c_str(), "wb");
    if (!f) {
        error = "cannot write " + temp + ": " + std::strerror(errno);
        return false;
    }
    const bool written = std::fwrite(contents.data(), 1, contents.size(), f) == contents.size() && std::fflush(f) == 0;
    const bool closed = std::fclose(f) == 0;
    if (written && closed && std::rename(temp.c_str(), path.c_str()) == 0) return true;
    error = "cannot write " + path + ": " + std::strerror(errno);
    std::remove(temp.c_str());
    return false;
}
