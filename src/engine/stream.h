// Byte streams over files and embedded resources. A TStream is a value handle; an empty one
// (a failed open) accepts every operation and does nothing, reading 0. Only regular files are
// opened to read (a FIFO or a device is a failed open). A write that fails is told on stderr, with
// the file's name and the reason, when the stream closes.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

class TIO {
  public:
    virtual ~TIO() = default;
    virtual bool Eof() = 0;
    virtual int64_t Pos() = 0;
    virtual int64_t Size() = 0;
    virtual int64_t Seek(int64_t pos) = 0;
    virtual void Flush() = 0;
    virtual void Close() = 0;
    virtual int64_t Read(void* buf, int64_t count) = 0;
    virtual int64_t Write(const void* buf, int64_t count) = 0;
    // The first write that failed, in words naming the file; empty while every write went well.
    virtual std::string Failure() { return {}; }
};

class TStream {
  public:
    TStream() = default;
    explicit TStream(std::shared_ptr<TIO> io) : io_(std::move(io)) {}
    explicit operator bool() const { return bool(io_); }

    bool Eof() const;
    int64_t Pos() const;
    int64_t Size() const;
    int64_t Seek(int64_t pos) const;
    void Flush() const;
    // False when a write failed (told on stderr already); closing again does nothing.
    bool Close();
    std::string Failure() const; // as TIO::Failure
    int64_t Read(void* buf, int64_t count) const;
    int64_t Write(const void* buf, int64_t count) const;

    // Reads count bytes; stops quietly at the end of the data (the rest stays as it was).
    void ReadBytes(void* buf, int64_t count) const;
    void WriteBytes(const void* buf, int64_t count) const;
    int ReadByte() const;
    void WriteByte(int v) const;
    int ReadShort() const;
    void WriteShort(int v) const;
    int32_t ReadInt() const;
    void WriteInt(int32_t v) const;

  private:
    std::shared_ptr<TIO> io_;
};

// Registers a resource compiled into the program. Returns 1 if added, 0 if the name was taken.
int RegisterEmbedded(const std::string& name, const void* bytes, int64_t size);
// Looks up an embedded resource; returns false when the name is not registered.
bool FindEmbedded(const std::string& name, const uint8_t** bytes, int64_t* size);

TStream OpenRead(const std::string& path);
TStream OpenWrite(const std::string& path);
TStream OpenStream(const std::string& path, bool readable, bool writable);
// 0 nothing there, 1 regular file, 2 folder.
int PathKind(const std::string& path);
// Turns the game's backslash paths into host paths; data\NAME then goes where the host's data-folder
// rule says (set by the platform layer, engine/platform/data_folders.h; unset, paths stay as they are).
std::string HostPath(const std::string& path);
using DataPathRule = std::string (*)(const std::string& path);
void SetDataPathRule(DataPathRule rule);
// Reads a whole stream (file or embedded) into memory; empty on failure, and for a file of more
// than `limit` bytes, which is never read. `why`, when given, then says why in words.
constexpr int64_t kReadWholeLimit = int64_t(64) << 20;
std::string ReadWhole(const std::string& path, int64_t limit = kReadWholeLimit, std::string* why = nullptr);
