#pragma once
// The AVI side of opening a capture file: the walk over the top-level RIFF
// chunks and the reading of the "idx1" index. cls_AVI_handler calls these
// with its open file behind a Byte_Source; tests hand in memory.
//
// Nothing read from the file is trusted: a size or offset that points outside
// the source ends the walk or fails the call with a clear failure (321), and
// no allocation is larger than the file itself (the index at most 150000
// entries). Opening costs a constant handful of reads: one per top-level
// chunk header, one for the "KVXM" text and one for the whole index.

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <vector>

namespace qm {

// Positioned reads from a file or a memory image.
class Byte_Source {
 public:
  virtual ~Byte_Source() = default;
  // Reads exactly n bytes at off into dst; false (dst unspecified) when the
  // range is not wholly inside the source or the read fails.
  virtual bool Read_At(int64_t off, void* dst, int32_t n) = 0;
  virtual int64_t Length() = 0;
};

// A memory image (tests, and bytes already held).
class Memory_Source : public Byte_Source {
 public:
  explicit Memory_Source(std::vector<uint8_t> bytes) : bytes_(std::move(bytes)) {}
  bool Read_At(int64_t off, void* dst, int32_t n) override;
  int64_t Length() override { return static_cast<int64_t>(bytes_.size()); }
  const std::vector<uint8_t>& Bytes() const { return bytes_; }

 private:
  std::vector<uint8_t> bytes_;
};

// A file opened for reading only (pread); for callers that have no handle of
// their own, such as clsAVIInfo::ReadFile(path).
class Read_Only_File_Source : public Byte_Source {
 public:
  Read_Only_File_Source() = default;
  ~Read_Only_File_Source() override;
  Read_Only_File_Source(const Read_Only_File_Source&) = delete;
  Read_Only_File_Source& operator=(const Read_Only_File_Source&) = delete;
  // errno of the failed open, 0 on success.
  int Open(const QString& path);
  void Close();
  bool Is_Open() const { return fd_ >= 0; }
  bool Read_At(int64_t off, void* dst, int32_t n) override;
  int64_t Length() override;

 private:
  int fd_ = -1;
};

// Four-character codes as AVI stores them: first character in the low byte.
constexpr uint32_t FCC(const char (&c)[5]) {
  return static_cast<uint32_t>(static_cast<uint8_t>(c[0])) |
         static_cast<uint32_t>(static_cast<uint8_t>(c[1])) << 8 |
         static_cast<uint32_t>(static_cast<uint8_t>(c[2])) << 16 |
         static_cast<uint32_t>(static_cast<uint8_t>(c[3])) << 24;
}

// Four printable characters, as every chunk id is.
constexpr bool Is_Chunk_Id(uint32_t id) {
  for (int i = 0; i < 4; ++i) {
    const uint32_t c = (id >> (8 * i)) & 0xFF;
    if (c < 0x20 || c > 0x7E) return false;
  }
  return true;
}

// One "idx1" entry, as stored.
struct cls_IDX {
  uint32_t ckid = 0;
  uint32_t dwFlags = 0;
  uint32_t dwChunkOffset = 0;
  uint32_t dwChunkLength = 0;
};

// How an index offset becomes a file offset.
enum class Index_Placement { None, Relative, Absolute, Shifted };
// "none", "relative", "absolute", "shifted".
QString Placement_Name(Index_Placement p);

// One top-level chunk met by the walk.
struct AVI_Chunk {
  uint32_t id = 0;
  uint32_t list_type = 0;  // for "LIST"/"RIFF": the four characters after the size
  int64_t offset = 0;      // of the chunk header
  uint32_t size = 0;       // the size field
};

// What the chunk walk found. Positions are chunk-header offsets, 0 = none;
// when an id occurs twice the later chunk is the one recorded.
struct AVI_Chunks {
  uint32_t riff_id = 0;
  uint32_t riff_size = 0;
  uint32_t form_type = 0;

  int32_t m_XML_chunk_pos = 0;    // "KVXM"
  uint32_t m_XML_chunk_size = 0;  // its size field: text, its 100 zero bytes and filler
  QByteArray xml_text;            // its bytes up to the first zero byte (8-bit text)
  int32_t m_Index_pos = 0;        // "idx1"
  int32_t vxhd_pos = 0;           // "VXHD" (DV header record, stepped over)
  uint32_t vxhd_size = 0;
  int32_t vxa_pos[5] = {};  // "VXA1" .. "VXA5"
  uint32_t vxa_size[5] = {};
  int32_t movi_pos = 0;    // offset of the four characters "movi" of a top-level movie list
  int64_t pad_bytes = 0;   // sizes of the top-level "JUNK"/"JUNQ" chunks
  int32_t kvxm_count = 0;  // how many "KVXM" chunks were met (the last one counts)

  // Every top-level chunk in file order (at most Max_table entries recorded).
  std::vector<AVI_Chunk> table;
  static constexpr size_t Max_table = 4096;

  // Room for header text in the "KVXM" chunk: the text and its 100 zero
  // bytes may use m_XML_chunk_size bytes from m_XML_chunk_pos + 8.
  int64_t XML_text_pos() const { return m_XML_chunk_pos ? int64_t(m_XML_chunk_pos) + 8 : 0; }
};

// Largest "KVXM" text read (a longer one fails the walk with 321).
inline constexpr int32_t KVXM_text_max = 16 * 1024 * 1024;

// Walks the top-level chunks from offset 12 while o + 1 < the RIFF size, the
// next chunk at o + 8 + size (sizes not rounded up to even; after an odd size
// the pad byte is stepped over only when no chunk id starts without it).
// Writes the trace lines "*cls_AVI_handler, ParseChunks" and "..., end". A
// chunk header that cannot be read or whose id is not four printable
// characters ends the walk; a "KVXM" chunk running past the end of the file
// raises 321.
AVI_Chunks Parse_Chunks(Byte_Source& src);

// What Get_AVI_indexes needs from the header parser (clsAVIInfo) and the walk.
struct Index_Request {
  QString path;                     // for the message
  int64_t file_size = 0;            // clsAVIInfo FileSize (0 when it found no usable AVI file)
  int64_t index_pos = 0;            // m_Index_pos of the walk, 0 = none
  int64_t parser_index_offset = 0;  // clsAVIInfo IndexOffset
  int64_t movie_offset = 0;         // clsAVIInfo MovieOffset
  bool iavs = false;                // clsAVIInfo iavs
};

struct AVI_Index {
  std::vector<cls_IDX> m_Video_index;  // entry k is frame k + 1
  Index_Placement placement = Index_Placement::None;
  int64_t movie_offset = 0;
  int64_t index_pos = 0;          // the chunk header actually read
  uint32_t entries_total = 0;     // every entry of the chunk, video or not
  uint32_t max_chunk_length = 0;  // longest video payload lying inside the file

  int32_t Count() const { return static_cast<int32_t>(m_Video_index.size()); }
  // File offset of the chunk header of entry k (0-based); -1 for placement none
  // or k out of range. The payload starts 8 bytes further.
  int64_t Chunk_Pos(int32_t k) const;
  // True when entry k's payload lies wholly inside a file of `length` bytes.
  bool Payload_Inside(int32_t k, int64_t length) const;
};

enum class Index_Outcome {
  Done,
  Empty_File,        // message "GET_AVI_Indexes, empty file!"
  No_Index_Chunk,    // neither the walk nor the parser found "idx1": the no-index message
  Bad_Entry_Count,   // not between 1 and 150000 entries: no message
  No_Video_Entries,  // message "File: " + path + program name + "  found no AVI index! "
};

inline constexpr uint32_t Max_index_entries = 150000;

// Reads the index in one read and decides the placement from the first video
// entry. Writes the trace line "*Get_AVI_indexes" (and "*Get_AVI_indexes, end"
// for placement none), shows the messages above through qm::MsgBox. An index
// whose entries run past the end of the source raises 321.
Index_Outcome Get_AVI_indexes(Byte_Source& src, const Index_Request& request, AVI_Index& out);

// Four-character codes compared without regard to case (DV codes).
bool Same_Fourcc(const QString& a, const QString& b);

}  // namespace qm
