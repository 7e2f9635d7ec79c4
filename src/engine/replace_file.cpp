#include "engine/replace_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

namespace {

// Writes all of `bytes` and puts them on the disk; false (errno set) on any failure.
bool WriteSynced(const std::string& path, const unsigned char* bytes, size_t count) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) return false;
    bool ok = true;
    for (size_t done = 0; ok && done < count;) {
        const ssize_t n = ::write(fd, bytes + done, count - done);
        if (n > 0)
            done += size_t(n);
        else if (n < 0 && errno == EINTR)
            continue;
        else
            ok = false;
    }
    ok = ok && ::fsync(fd) == 0;
    const int saved = errno;
    if (::close(fd) != 0) return false;
    errno = saved;
    return ok;
}

// The folder's entry for the renamed file reaches the disk too (where the file system can say).
std::string SyncFolder(const std::string& file) {
    const std::filesystem::path parent = std::filesystem::path(file).parent_path();
    const std::string folder = parent.empty() ? "." : parent.string();
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return "";
    std::string reason;
    if (::fsync(fd) != 0 && errno != EINVAL) reason = folder + " could not be synced (" + std::strerror(errno) + ")";
    ::close(fd);
    return reason;
}

} // namespace

bool ReplaceFile(const std::string& path, const std::string& temp, const void* bytes, size_t count,
                 std::string& reason) {
    if (!WriteSynced(temp, static_cast<const unsigned char*>(bytes), count) ||
        std::rename(temp.c_str(), path.c_str()) != 0) {
        reason = std::strerror(errno);
        std::remove(temp.c_str());
        return false;
    }
    reason = SyncFolder(path);
    return true;
}
