#pragma once
// Files and folders: positioned reads and writes on a POSIX descriptor, the
// read-only attribute, and the small file routines the program shares.
//
// Every write goes through one layer that a test can tell to stop after a
// given number of bytes, which is how a power cut in the middle of a header
// write is simulated.

#include <QString>

#include <cstddef>
#include <cstdint>

namespace qm {

class File_Handle {
 public:
  enum class Mode { Read, Read_Write, Write, Create_Read_Write };

  File_Handle() = default;
  ~File_Handle();
  File_Handle(const File_Handle&) = delete;
  File_Handle& operator=(const File_Handle&) = delete;
  File_Handle(File_Handle&& other) noexcept;
  File_Handle& operator=(File_Handle&& other) noexcept;

  // Raises 53 (missing), 70 (permission denied), 75 (other access errors).
  void Open(const QString& path, Mode mode);
  void Close();
  bool Is_Open() const { return fd_ >= 0; }
  bool Writable() const { return writable_; }
  int64_t Size() const;

  // Reads up to n bytes at offset; returns the count (short at the end).
  size_t Read_At(int64_t offset, void* buffer, size_t n) const;
  // Reads exactly n bytes or raises 62.
  void Read_Exact(int64_t offset, void* buffer, size_t n) const;
  // Writes all n bytes or raises (70 on a handle opened for reading only).
  void Write_At(int64_t offset, const void* data, size_t n);
  // Forces what was written onto the disk.
  void Sync();
  void Truncate(int64_t length);

 private:
  int fd_ = -1;
  bool writable_ = false;
};

// Test hook of the write layer: after `bytes` more bytes every write stops
// (the write that crosses the limit writes only its first part) and raises.
// A negative value lifts the limit.
void Set_Write_Limit(int64_t bytes);
int64_t Bytes_Written_Since_Limit();

bool File_Exists(const QString& path);
bool Folder_Exists(const QString& path);
int64_t File_Length(const QString& path);  // -1 when it cannot be read
// Owner-write bit clear, not writable by this user, or on a read-only mount.
bool Is_Read_Only(const QString& path);
// Setting clears every write bit; clearing gives the owner write access.
void Set_Read_Only(const QString& path, bool read_only);

// Removes the file; raises 75 for a read-only file, 53 when it is missing.
void Remove_File(const QString& path);
// False at once when no file exists; otherwise deletes it. A failure shows
// its message (unless quiet) and returns false.
bool Delete_File(const QString& path, bool quiet);

// Moves the file to `to`: 52 for an empty name, 53 when `from` is missing,
// 58 when `to` exists (never replaced); across file systems by copying.
void Rename_File(const QString& from, const QString& to);

// Part 16: the folder; part 0: the file name; anything else: the whole path.
QString ParsePath(const QString& path, int part, bool drop_trailing_separator = true);
// The text after the last "."; "" when there is none.
QString File_Suffix(const QString& name);

}  // namespace qm

namespace qm {
// Makes a file's creation or removal in `folder` survive a crash.
void Sync_Folder(const QString& folder);
}  // namespace qm
