// Streams over files and over resources compiled into the program. Paths of the form
// "prefix::rest" go to a stream factory ("incbin" serves embedded resources in place); any other
// path is a file, with the game's backslashes turned into "/". An empty stream (failed open)
// accepts every call and does nothing. Only regular files are read: a FIFO or a device would
// block the open or never end. A read or write that makes no progress is fatal: the game has no way
// to recover from a half-read or half-written file, so the program says so and ends. A write that
// fails later, when the buffered bytes reach the file, is reported when the stream closes.
#include "engine/stream.h"


#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>

namespace {

[[noreturn]] void StreamError(const char* what, const std::string& reason) {
    std::fprintf(stderr, "pumko: stream %s error%s%s\n", what, reason.empty() ? "" : ": ", reason.c_str());
    std::exit(1);
}

// Read-only bytes in memory: an embedded resource served in place, or a copy it owns (a file
// that could not report its size).
class MemIO : public TIO {
  public:
    MemIO(const uint8_t* data, int64_t size) : data_(data), size_(size) {}
    explicit MemIO(std::string owned) : owned_(std::move(owned)) {
        data_ = reinterpret_cast<const uint8_t*>(owned_.data());
        size_ = int64_t(owned_.size());
    }
    bool Eof() override { return pos_ >= size_; }
    int64_t Pos() override { return pos_; }
    int64_t Size() override { return size_; }
    int64_t Seek(int64_t pos) override {
        pos_ = std::clamp<int64_t>(pos, 0, size_);
        return pos_;
    }
    void Flush() override {}
    void Close() override {}
    int64_t Read(void* buf, int64_t count) override {
        int64_t n = std::clamp<int64_t>(size_ - pos_, 0, std::max<int64_t>(count, 0));
        if (n > 0) std::memcpy(buf, data_ + pos_, size_t(n));
        pos_ += n;
        return n;
    }
    int64_t Write(const void*, int64_t) override { return 0; }

  private:
    std::string owned_;
    const uint8_t* data_ = nullptr;
    int64_t size_ = 0;
    int64_t pos_ = 0;
};

// A C file with its position counted here and its size measured at open. The first write error
// (at a write, a flush or the close) is kept with the file's name, and told once when it closes.
class FileIO : public TIO {
  public:
    enum { kRead = 1, kWrite = 2 };
    FileIO(FILE* f, int64_t size, int mode, std::string path)
        : file_(f), size_(size), mode_(mode), path_(std::move(path)) {}
    ~FileIO() override { Close(); }
    bool Eof() override { return pos_ >= size_; }
    int64_t Pos() override { return pos_; }
    int64_t Size() override { return size_; }
    int64_t Seek(int64_t pos) override {
        if (!file_ || pos < 0) return pos_;
        if (std::fseek(file_, long(pos), SEEK_SET) == 0) pos_ = pos;
        last_ = 0;
        return pos_;
    }
    // A flush made elsewhere (fflush(NULL)) may have met the error first: the file's error flag
    // still tells of it, though no longer of its reason.
    void Flush() override {
        if (!file_) return;
        if (std::fflush(file_) != 0)
            NoteWriteError(errno);
        else if (std::ferror(file_))
            NoteWriteError(EIO);
    }
    void Close() override {
        if (!file_) return;
        if (std::ferror(file_)) NoteWriteError(EIO);
        if (std::fclose(file_) != 0) NoteWriteError(errno);
        file_ = nullptr;
        if (!failure_.empty()) std::fprintf(stderr, "pumko: %s\n", failure_.c_str());
    }
    int64_t Read(void* buf, int64_t count) override {
        if (!file_ || !(mode_ & kRead) || count <= 0) return 0;
        Switch(kRead);
        int64_t n = int64_t(std::fread(buf, 1, size_t(count), file_));
        pos_ += n;
        return n;
    }
    int64_t Write(const void* buf, int64_t count) override {
        if (!file_ || !(mode_ & kWrite) || count <= 0) return 0;
        Switch(kWrite);
        int64_t n = int64_t(std::fwrite(buf, 1, size_t(count), file_));
        if (n < count) NoteWriteError(errno);
        pos_ += n;
        size_ = std::max(size_, pos_);
        return n;
    }
    std::string Failure() override { return failure_; }

  private:
    // Only a stream that writes can lose data; a read-only one has nothing to report.
    void NoteWriteError(int error) {
        if ((mode_ & kWrite) && failure_.empty())
            failure_ = "could not write " + path_ + " (" + std::strerror(error ? error : EIO) + ")";
    }
    // C streams need a positioning call between a read and a write on the same file.
    void Switch(int op) {
        if (last_ && last_ != op) std::fseek(file_, long(pos_), SEEK_SET);
        last_ = op;
    }
    FILE* file_;
    int64_t size_;
    int mode_;
    std::string path_;
    std::string failure_;
    int64_t pos_ = 0;
    int last_ = 0;
};

struct Embedded {
    const uint8_t* bytes;
    int64_t size;
};

// Built on first use so that resources may be registered from static initialisers.
std::map<std::string, Embedded>& EmbeddedTable() {
    static std::map<std::string, Embedded> table;
    return table;
}

std::shared_ptr<TIO> OpenEmbedded(const std::string& prefix, const std::string& rest, bool writable) {
    if (prefix != "incbin" || writable) return nullptr;
    const uint8_t* bytes;
    int64_t size;
    if (!FindEmbedded(rest, &bytes, &size)) return nullptr;
    return std::make_shared<MemIO>(bytes, size);
}

std::shared_ptr<TIO> OpenFile(const std::string& path, bool readable, bool writable) {
    const std::string host = HostPath(path);
    // Opened without waiting: a FIFO with no writer (or, to write, no reader) fails or opens at
    // once instead of blocking the game; the descriptor blocks again once it is known to be a file.
    const int flags = (readable && writable ? O_RDWR
                       : writable           ? O_WRONLY | O_CREAT | O_TRUNC
                                            : O_RDONLY) |
                      O_NONBLOCK | O_CLOEXEC;
    const int fd = ::open(host.c_str(), flags, 0666);
    if (fd < 0) return nullptr;
    // Read only from a regular file: a FIFO, a device or a socket may never end. Writing goes
    // anywhere but a folder (a device such as /dev/null takes it).
    struct stat st;
    const bool usable = fstat(fd, &st) == 0 && (readable ? S_ISREG(st.st_mode) : !S_ISDIR(st.st_mode));
    FILE* f = usable && ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK) == 0
                  ? ::fdopen(fd, readable && writable ? "r+b"
                                 : writable           ? "wb"
                                                      : "rb")
                  : nullptr;
    if (!f) {
        ::close(fd);
        return nullptr;
    }
    int64_t size = 0;
    if (std::fseek(f, 0, SEEK_END) == 0) {
        size = std::max<long>(std::ftell(f), 0);
        std::fseek(f, 0, SEEK_SET);
    }
    return std::make_shared<FileIO>(f, size, (readable ? FileIO::kRead : 0) | (writable ? FileIO::kWrite : 0), host);
}

// Why a file could not be opened to read, in words for the player.
std::string WhyNotOpened(const std::string& path) {
    if (path.find("::") != std::string::npos) return "not found";
    struct stat st;
    if (stat(HostPath(path).c_str(), &st) != 0) return errno == ENOENT ? "missing" : std::strerror(errno);
    if (!S_ISREG(st.st_mode)) return "not a regular file";
    return ::access(HostPath(path).c_str(), R_OK) != 0 ? std::strerror(errno) : "cannot be read";
}

} // namespace

// ---------------------------------------------------------------------------------------------
bool TStream::Eof() const { return io_ ? io_->Eof() : true; }
int64_t TStream::Pos() const { return io_ ? io_->Pos() : 0; }
int64_t TStream::Size() const { return io_ ? io_->Size() : 0; }
int64_t TStream::Seek(int64_t pos) const { return io_ ? io_->Seek(pos) : 0; }
void TStream::Flush() const {
    if (io_) io_->Flush();
}
bool TStream::Close() {
    if (!io_) return true;
    io_->Flush();
    io_->Close();
    const bool ok = io_->Failure().empty();
    io_.reset();
    return ok;
}
std::string TStream::Failure() const { return io_ ? io_->Failure() : std::string(); }
int64_t TStream::Read(void* buf, int64_t count) const { return io_ ? io_->Read(buf, count) : 0; }
int64_t TStream::Write(const void* buf, int64_t count) const { return io_ ? io_->Write(buf, count) : 0; }

void TStream::ReadBytes(void* buf, int64_t count) const {
    if (!io_) return;
    auto* p = static_cast<uint8_t*>(buf);
    while (count > 0 && !io_->Eof()) {
        int64_t n = io_->Read(p, count);
        if (n <= 0) StreamError("read", "");
        p += n;
        count -= n;
    }
}

void TStream::WriteBytes(const void* buf, int64_t count) const {
    if (!io_) return;
    auto* p = static_cast<const uint8_t*>(buf);
    while (count > 0) {
        int64_t n = io_->Write(p, count);
        if (n <= 0) StreamError("write", io_->Failure());
        p += n;
        count -= n;
    }
}

// Multi-byte values are little-endian whatever the host; bytes missing at the end read as 0.
int TStream::ReadByte() const {
    uint8_t b[1] = {};
    ReadBytes(b, 1);
    return b[0];
}
void TStream::WriteByte(int v) const {
    uint8_t b[1] = {uint8_t(v)};
    WriteBytes(b, 1);
}
int TStream::ReadShort() const {
    uint8_t b[2] = {};
    ReadBytes(b, 2);
    return b[0] | (b[1] << 8);
}
void TStream::WriteShort(int v) const {
    uint8_t b[2] = {uint8_t(v), uint8_t(v >> 8)};
    WriteBytes(b, 2);
}
int32_t TStream::ReadInt() const {
    uint8_t b[4] = {};
    ReadBytes(b, 4);
    return int32_t(uint32_t(b[0]) | uint32_t(b[1]) << 8 | uint32_t(b[2]) << 16 | uint32_t(b[3]) << 24);
}
void TStream::WriteInt(int32_t v) const {
    uint32_t u = uint32_t(v);
    uint8_t b[4] = {uint8_t(u), uint8_t(u >> 8), uint8_t(u >> 16), uint8_t(u >> 24)};
    WriteBytes(b, 4);
}

// ---------------------------------------------------------------------------------------------
int RegisterEmbedded(const std::string& name, const void* bytes, int64_t size) {
    auto [it, added] =
        EmbeddedTable().emplace(name, Embedded{static_cast<const uint8_t*>(bytes), std::max<int64_t>(size, 0)});
    return added ? 1 : 0;
}

bool FindEmbedded(const std::string& name, const uint8_t** bytes, int64_t* size) {
    auto& table = EmbeddedTable();
    auto it = table.find(name);
    if (it == table.end()) return false;
    if (bytes) *bytes = it->second.bytes;
    if (size) *size = it->second.size;
    return true;
}

TStream OpenStream(const std::string& path, bool readable, bool writable) {
    if (!readable && !writable) return TStream();
    auto sep = path.find("::");
    if (sep != std::string::npos) {
        std::string prefix = path.substr(0, sep);
        for (char& c : prefix) c = char(std::tolower(static_cast<unsigned char>(c)));
        return TStream(OpenEmbedded(prefix, path.substr(sep + 2), writable));
    }
    return TStream(OpenFile(path, readable, writable));
}

TStream OpenRead(const std::string& path) { return OpenStream(path, true, false); }
TStream OpenWrite(const std::string& path) { return OpenStream(path, false, true); }

namespace {
DataPathRule data_path_rule = nullptr;
}

void SetDataPathRule(DataPathRule rule) { data_path_rule = rule; }

std::string HostPath(const std::string& path) {
    std::string p = path;
    std::replace(p.begin(), p.end(), '\\', '/');
    return data_path_rule != nullptr ? data_path_rule(p) : p;
}

int PathKind(const std::string& path) {
    std::string p = HostPath(path);
    while (p.size() > 1 && p.back() == '/') p.pop_back();
    if (p.empty()) return 0;
    struct stat st;
    if (stat(p.c_str(), &st) != 0) return 0;
    if (S_ISREG(st.st_mode)) return 1;
    if (S_ISDIR(st.st_mode)) return 2;
    return 0;
}

std::string ReadWhole(const std::string& path, int64_t limit, std::string* why) {
    TStream s = OpenRead(path);
    if (!s) {
        if (why) *why = WhyNotOpened(path);
        return {};
    }
    const int64_t size = std::max<int64_t>(s.Size() - s.Pos(), 0);
    if (size > limit) {
        if (why) *why = std::to_string(size) + " bytes, more than the " + std::to_string(limit) + " a file may have";
        return {};
    }
    std::string data(size_t(size), '\0');
    s.ReadBytes(data.data(), int64_t(data.size()));
    s.Close();
    if (data.empty() && why) *why = "empty";
    return data;
}
