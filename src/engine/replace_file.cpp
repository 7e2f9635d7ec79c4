#include "engine/replace_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <random>

namespace {

// The file `path` names once symbolic links are followed (at most 40 of them, as the system
// does). A link to nothing names the file it would make. Empty, with errno set, on a loop.
std::string LinkTarget(const std::string& path) {
    std::string p = path;
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st;
        if (::lstat(p.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return p;
        std::string link(4096, '\0');
        const ssize_t n = ::readlink(p.c_str(), link.data(), link.size());
        if (n < 0) return p; // gone meanwhile: the open below says why
        link.resize(size_t(n));
        const std::filesystem::path next(link);
        p = next.is_absolute() ? link : (std::filesystem::path(p).parent_path() / next).string();
    }
    errno = ELOOP;
    return "";
}

// Makes a new temporary file beside `target`, failing rather than opening anything already there
// (O_EXCL: not even a symbolic link is followed). Returns its descriptor, or -1 with errno set.
int MakeTemporary(const std::string& target, mode_t mode, std::string& temp) {
    std::random_device random;
    for (int tries = 0; tries < 16; ++tries) {
        char suffix[32];
        std::snprintf(suffix, sizeof suffix, ".%08x%08x.tmp", unsigned(random()), unsigned(random()));
        temp = target + suffix;
        const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    return -1;
}

// Writes all of `bytes` and puts them on the disk; false (errno set) on any failure.
bool WriteSynced(int fd, const unsigned char* bytes, size_t count) {
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

bool ReplaceFile(const std::string& path, const void* bytes, size_t count, std::string& reason) {
    const std::string target = LinkTarget(path);
    if (target.empty()) {
        reason = std::strerror(errno);
        return false;
    }
    // What the player set up stays: a file nobody may write is refused (even where the game runs
    // with the rights to write it), and a file's permissions carry over to its new contents.
    const std::string named = target == path ? "it" : target;
    struct stat st;
    const bool exists = ::stat(target.c_str(), &st) == 0;
    if (exists && !S_ISREG(st.st_mode)) {
        reason = named + " is not a regular file";
        return false;
    }
    if (exists && (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) {
        reason = named + " is read-only";
        return false;
    }
    std::string temp;
    const int fd = MakeTemporary(target, exists ? S_IRUSR | S_IWUSR : 0644, temp);
    if (fd < 0) {
        reason = std::strerror(errno);
        return false;
    }
    const bool kept_mode = !exists || ::fchmod(fd, st.st_mode & 0777) == 0;
    if (!kept_mode || !WriteSynced(fd, static_cast<const unsigned char*>(bytes), count) ||
        std::rename(temp.c_str(), target.c_str()) != 0) {
        reason = std::strerror(errno);
        ::unlink(temp.c_str());
        return false;
    }
    reason = SyncFolder(target);
    return true;
}
