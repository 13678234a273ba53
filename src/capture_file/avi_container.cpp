#include "capture_file/avi_container.h"

#include "platform/dialogs.h"
#include "platform/failure.h"
#include "shell/app_globals.h"
#include "shell/trace.h"

#include <QFile>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string_view>

namespace qm {

namespace {

uint32_t LE32(const uint8_t* p) {
  return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

// The positions the walk records are 32-bit in the capture-file object.
int32_t Pos32(int64_t o) {
  return static_cast<int32_t>(o);
}

// A position "holds a chunk" when its four characters occur in this text.
bool Holds_Chunk(Byte_Source& src, int64_t pos) {
  char id[4];
  if (pos < 0 || !src.Read_At(pos, id, 4)) return false;
  static constexpr std::string_view kinds = "00db00dc01db00__";
  return kinds.find(std::string_view(id, 4)) != std::string_view::npos;
}

bool Id_At(Byte_Source& src, int64_t pos) {
  uint8_t id[4];
  return src.Read_At(pos, id, 4) && Is_Chunk_Id(LE32(id));
}

bool Is_Video_Entry(uint32_t ckid) {
  return ckid == FCC("00db") || ckid == FCC("00dc") || ckid == FCC("00__");
}

// Size / 16 rounded to the nearest integer, halves to even.
int64_t Entry_Count(uint32_t size) {
  int64_t q = size / 16;
  const uint32_t r = size % 16;
  if (r > 8 || (r == 8 && (q & 1))) ++q;
  return q;
}

}  // namespace

bool Memory_Source::Read_At(int64_t off, void* dst, int32_t n) {
  if (off < 0 || n < 0 || off > Length() || n > Length() - off) return false;
  if (n) std::memcpy(dst, bytes_.data() + off, static_cast<size_t>(n));
  return true;
}

Read_Only_File_Source::~Read_Only_File_Source() {
  Close();
}

int Read_Only_File_Source::Open(const QString& path) {
  Close();
  fd_ = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
  return fd_ < 0 ? errno : 0;
}

void Read_Only_File_Source::Close() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
}

bool Read_Only_File_Source::Read_At(int64_t off, void* dst, int32_t n) {
  if (fd_ < 0 || off < 0 || n < 0) return false;
  auto* p = static_cast<uint8_t*>(dst);
  int32_t done = 0;
  while (done < n) {
    const ssize_t got = ::pread(fd_, p + done, static_cast<size_t>(n - done), off + done);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) return false;
    done += static_cast<int32_t>(got);
  }
  return true;
}

int64_t Read_Only_File_Source::Length() {
  struct stat st;
  if (fd_ < 0 || ::fstat(fd_, &st) != 0) return 0;
  return st.st_size;
}

QString Placement_Name(Index_Placement p) {
  switch (p) {
    case Index_Placement::Relative:
      return QStringLiteral("relative");
    case Index_Placement::Absolute:
      return QStringLiteral("absolute");
    case Index_Placement::Shifted:
      return QStringLiteral("shifted");
    case Index_Placement::None:
      break;
  }
  return QStringLiteral("none");
}

AVI_Chunks Parse_Chunks(Byte_Source& src) {
  Trace_Text(QStringLiteral("*cls_AVI_handler, ParseChunks"));
  AVI_Chunks c;
  uint8_t h[12];
  if (src.Read_At(0, h, 12)) {
    c.riff_id = LE32(h);
    c.riff_size = LE32(h + 4);
    c.form_type = LE32(h + 8);
  }
  const int64_t length = src.Length();
  const int64_t riff_size = c.riff_size;
  int64_t o = 12;
  while (o + 1 < riff_size) {
    uint8_t ch[12];
    if (!src.Read_At(o, ch, 8)) break;  // past the end of a truncated file
    AVI_Chunk chunk;
    chunk.id = LE32(ch);
    chunk.size = LE32(ch + 4);
    chunk.offset = o;
    // Bytes that are no chunk header (zeros of a damaged file) end the walk
    // rather than being stepped through eight bytes at a time.
    if (!Is_Chunk_Id(chunk.id)) break;
    // Positions are kept as 32-bit offsets: the walk ends at 2^31.
    if (o > INT32_MAX) break;
    const int64_t data = o + 8;
    if ((chunk.id == FCC("LIST") || chunk.id == FCC("RIFF")) && src.Read_At(data, ch + 8, 4))
      chunk.list_type = LE32(ch + 8);

    if (chunk.id == FCC("KVXM")) {
      if (chunk.size > length - data) {
        Raise(Err_Bad_Format, QStringLiteral("KVXM chunk runs past the end of the file"));
      }
      // The text ends at the first zero byte; read the whole chunk only when
      // it is small enough, otherwise in pieces until the zero byte.
      QByteArray text;
      int64_t at = data;
      int64_t left = chunk.size;
      while (left > 0) {
        const int32_t piece = static_cast<int32_t>(std::min<int64_t>(left, 1 << 20));
        QByteArray buf(piece, Qt::Uninitialized);
        if (!src.Read_At(at, buf.data(), piece))
          Raise(Err_Bad_Format, QStringLiteral("KVXM chunk cannot be read"));
        const qsizetype zero = buf.indexOf('\0');
        text.append(zero < 0 ? buf : buf.left(zero));
        if (text.size() > KVXM_text_max)
          Raise(Err_Bad_Format, QStringLiteral("KVXM text too long"));
        if (zero >= 0) break;
        at += piece;
        left -= piece;
      }
      c.m_XML_chunk_pos = Pos32(o);
      c.m_XML_chunk_size = chunk.size;
      c.xml_text = std::move(text);
      ++c.kvxm_count;
    } else if (chunk.id == FCC("idx1")) {
      c.m_Index_pos = Pos32(o);
    } else if (chunk.id == FCC("VXHD")) {
      c.vxhd_pos = Pos32(o);
      c.vxhd_size = chunk.size;
    } else if ((chunk.id & 0x00FFFFFFu) == (FCC("VXA0") & 0x00FFFFFFu) && (chunk.id >> 24) >= '1' &&
               (chunk.id >> 24) <= '5') {
      const int k = static_cast<int>((chunk.id >> 24) - '1');
      c.vxa_pos[k] = Pos32(o);
      c.vxa_size[k] = chunk.size;
    } else if (chunk.id == FCC("JUNK") || chunk.id == FCC("JUNQ")) {
      c.pad_bytes += chunk.size;
    } else if (chunk.id == FCC("LIST") && chunk.list_type == FCC("movi")) {
      c.movi_pos = Pos32(data);
    }
    if (c.table.size() < AVI_Chunks::Max_table) c.table.push_back(chunk);
    o = data + chunk.size;
    // Sizes are taken as they stand (the capture program writes its chunks
    // unpadded); a RIFF writer's pad byte after an odd size is stepped over
    // only when no chunk header starts at the unpadded position.
    if ((chunk.size & 1) && o + 1 < riff_size && !Id_At(src, o) && Id_At(src, o + 1)) ++o;
  }
  Trace_Text(QStringLiteral("*cls_AVI_handler, ParseChunks, end"));
  return c;
}

int64_t AVI_Index::Chunk_Pos(int32_t k) const {
  if (k < 0 || k >= Count()) return -1;
  const int64_t e = m_Video_index[static_cast<size_t>(k)].dwChunkOffset;
  switch (placement) {
    case Index_Placement::Relative:
      return movie_offset + e;
    case Index_Placement::Absolute:
      return e;
    case Index_Placement::Shifted:
      return movie_offset + e + 4;
    case Index_Placement::None:
      break;
  }
  return -1;
}

bool AVI_Index::Payload_Inside(int32_t k, int64_t length) const {
  const int64_t p = Chunk_Pos(k);
  if (p < 0) return false;
  const int64_t len = m_Video_index[static_cast<size_t>(k)].dwChunkLength;
  return p + 8 <= length && len <= length - (p + 8);
}

Index_Outcome Get_AVI_indexes(Byte_Source& src, const Index_Request& request, AVI_Index& out) {
  Trace_Text(QStringLiteral("*Get_AVI_indexes"));
  out = AVI_Index{};
  out.movie_offset = request.movie_offset;
  if (request.file_size == 0) {
    MsgBox(QStringLiteral("GET_AVI_Indexes, empty file!"));
    return Index_Outcome::Empty_File;
  }
  const QString no_index = QStringLiteral("File: ") + request.path + app().Product_Name +
                           QStringLiteral("  found no AVI index! ");
  const int64_t pos = request.index_pos ? request.index_pos : request.parser_index_offset;
  if (pos <= 0) {
    MsgBox(no_index);
    return Index_Outcome::No_Index_Chunk;
  }
  uint8_t h[8];
  if (!src.Read_At(pos, h, 8))
    Raise(Err_Bad_Format, QStringLiteral("AVI index lies past the end of the file"));
  const int64_t count = Entry_Count(LE32(h + 4));
  if (count < 1 || count > Max_index_entries) return Index_Outcome::Bad_Entry_Count;

  std::vector<uint8_t> raw(static_cast<size_t>(count) * 16);
  if (!src.Read_At(pos + 8, raw.data(), static_cast<int32_t>(raw.size())))
    Raise(Err_Bad_Format, QStringLiteral("AVI index runs past the end of the file"));
  out.index_pos = pos;
  out.entries_total = static_cast<uint32_t>(count);
  out.m_Video_index.reserve(static_cast<size_t>(count));
  for (int64_t k = 0; k < count; ++k) {
    const uint8_t* e = raw.data() + k * 16;
    const uint32_t ckid = LE32(e);
    if (!Is_Video_Entry(ckid)) continue;
    out.m_Video_index.push_back({ckid, LE32(e + 4), LE32(e + 8), LE32(e + 12)});
  }
  if (out.m_Video_index.empty()) {
    MsgBox(no_index);
    return Index_Outcome::No_Video_Entries;
  }

  const int64_t m = request.movie_offset;
  const int64_t e = out.m_Video_index.front().dwChunkOffset;
  if (request.iavs && Holds_Chunk(src, m + e + 4)) {
    out.placement = Index_Placement::Shifted;
  } else if (Holds_Chunk(src, m + e)) {
    out.placement = Index_Placement::Relative;
  } else if (Holds_Chunk(src, e)) {
    out.placement = Index_Placement::Absolute;
  } else {
    out.placement = Index_Placement::None;
    Trace_Text(QStringLiteral("*Get_AVI_indexes, end"));
  }
  const int64_t length = src.Length();
  for (int32_t k = 0; k < out.Count(); ++k)
    if (out.Payload_Inside(k, length))
      out.max_chunk_length =
          std::max(out.max_chunk_length, out.m_Video_index[size_t(k)].dwChunkLength);
  return Index_Outcome::Done;
}

bool Same_Fourcc(const QString& a, const QString& b) {
  return a.compare(b, Qt::CaseInsensitive) == 0;
}

}  // namespace qm
