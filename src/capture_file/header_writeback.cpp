// Writing the XML header back into the open file, so that a cut at any byte
// leaves the old or the new header: the new header goes first into a journal
// record (in the KV filler, or beside an AVI file), then into its place, and
// the record is cleared last. Opening a file replays a whole record.
#include "capture_file/avi_handler.h"
#include "capture_file/avi_handler_detail.h"
#include "capture_file/xml_header.h"
#include "platform/date_time.h"
#include "platform/failure.h"
#include "shell/app_globals.h"
#include "shell/trace.h"

#include <QDateTime>

#include <array>
#include <cstring>

namespace qm {

namespace {

const char Journal_magic[4] = {'Q', 'M', 'J', '1'};
const std::array<uint8_t, KV_XML_zero_tail> Zero_tail{};

uint32_t Journal_Crc(const uint8_t* record, size_t length) {
  uint32_t crc = Crc32(record + 4, 8);
  return Crc32(record + 16, length - 16, crc);
}

// Writes the record body, forces it out, then its magic: a record whose
// magic is there is whole.
void Write_Journal(File_Handle& f, int64_t offset, const QByteArray& record) {
  const auto* p = reinterpret_cast<const uint8_t*>(record.constData());
  f.Write_At(offset + 4, p + 4, static_cast<size_t>(record.size() - 4));
  f.Sync();
  f.Write_At(offset, p, 4);
  f.Sync();
}

void Clear_Journal(File_Handle& f, int64_t offset) {
  const uint8_t zeros[4] = {};
  f.Write_At(offset, zeros, 4);
  f.Sync();
}

void Write_Sidecar(const QString& path, const QByteArray& record) {
  File_Handle j;
  j.Open(path, File_Handle::Mode::Create_Read_Write);
  j.Truncate(0);
  Write_Journal(j, 0, record);
  j.Close();
  Sync_Folder(ParsePath(path, 16));
}

void Remove_Sidecar(const QString& path) {
  Remove_File(path);
  Sync_Folder(ParsePath(path, 16));
}

std::optional<Journal_Record> Read_Sidecar(const QString& path) {
  if (!File_Exists(path)) return std::nullopt;
  try {
    File_Handle j;
    j.Open(path, File_Handle::Mode::Read);
    return Read_Journal(j, 0);
  } catch (const Failure&) {
    return std::nullopt;
  }
}

}  // namespace

uint32_t Crc32(const uint8_t* data, size_t n, uint32_t crc) {
  static const auto table = [] {
    std::array<uint32_t, 256> t{};
    for (uint32_t i = 0; i < 256; ++i) {
      uint32_t c = i;
      for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      t[i] = c;
    }
    return t;
  }();
  crc = ~crc;
  for (size_t i = 0; i < n; ++i) crc = table[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
  return ~crc;
}

QByteArray Pack_Journal(const Journal_Record& r) {
  QByteArray out(Journal_head + r.text.size(), '\0');
  auto* p = reinterpret_cast<uint8_t*>(out.data());
  std::memcpy(p, Journal_magic, 4);
  Put_LE32(p + 4, r.target);
  Put_LE32(p + 8, static_cast<int32_t>(r.text.size()));
  const auto kvs = r.kvs.Pack();
  std::memcpy(p + 16, kvs.data(), kvs.size());
  std::memcpy(p + Journal_head, r.text.constData(), static_cast<size_t>(r.text.size()));
  Put_LE32(p + 12, static_cast<int32_t>(Journal_Crc(p, static_cast<size_t>(out.size()))));
  return out;
}

std::optional<Journal_Record> Read_Journal(const File_Handle& f, int64_t offset) {
  const int64_t size = f.Size();
  if (offset + Journal_head > size) return std::nullopt;
  uint8_t head[Journal_head];
  f.Read_Exact(offset, head, sizeof head);
  if (std::memcmp(head, Journal_magic, 4) != 0) return std::nullopt;
  const int32_t length = Get_LE32(head + 8);
  if (length < 0 || length > KVXM_text_max || offset + Journal_head + length > size)
    return std::nullopt;
  QByteArray record(Journal_head + length, '\0');
  auto* p = reinterpret_cast<uint8_t*>(record.data());
  std::memcpy(p, head, sizeof head);
  f.Read_Exact(offset + Journal_head, p + Journal_head, static_cast<size_t>(length));
  if (static_cast<uint32_t>(Get_LE32(head + 12)) !=
      Journal_Crc(p, static_cast<size_t>(record.size())))
    return std::nullopt;
  Journal_Record r;
  r.target = Get_LE32(head + 4);
  r.kvs = KVS_header_record::Unpack(head + 16);
  r.text = record.mid(Journal_head);
  return r;
}

QString Sidecar_Journal_Path(const QString& capture_path) {
  return capture_path + QStringLiteral(".qmjournal");
}

Capture_Kind cls_AVI_handler::Writing_Kind() const {
  if (m_File.Is_Open()) return m_Kind;
  const QString suffix = File_Suffix(m_File_name).toLower();
  if (suffix == QLatin1String("kv2") || suffix == QLatin1String("kv1")) return Capture_Kind::KV;
  return Capture_Kind::None;
}

QByteArray cls_AVI_handler::Header_Text_For_File() {
  m_XML->Set_Update_Time(Now().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")));
  m_XML->Set_Update_Program(app().Product_Name.isEmpty() ? QStringLiteral("Quaymark, Free version")
                                                         : app().Product_Name);
  const QString text = m_XML->XML_string();
  // One byte a character; what Latin-1 cannot hold goes as a reference.
  QByteArray out;
  out.reserve(text.size());
  for (const char32_t c : text.toUcs4()) {
    if (c < 0x100)
      out.append(static_cast<char>(c));
    else
      out.append("&#" + QByteArray::number(static_cast<uint>(c)) + ';');
  }
  return out;
}

bool cls_AVI_handler::Write_XML_header() {
  return Trapped(Where_Class("Write_XML_header", "cls_AVI_handler"), [&] {
    switch (Writing_Kind()) {
      case Capture_Kind::KV:
        Write_Header_KV(true);
        break;
      case Capture_Kind::AVI:
        if (m_XML_chunk_pos_ > 0) Write_Header_AVI();
        break;
      default:
        break;
    }
  });
}

void cls_AVI_handler::Write_Header_KV(bool journal) {
  File_Handle own;
  File_Handle* f = &m_File;
  KVS_header_record rec = m_KVS_header;
  if (!m_File.Is_Open()) {
    own.Open(m_File_name, File_Handle::Mode::Read_Write);
    uint8_t raw[KVS_header_record::Size];
    own.Read_Exact(0, raw, sizeof raw);
    rec = KVS_header_record::Unpack(raw);
    f = &own;
  }
  Line(10);
  const QByteArray text = Header_Text_For_File();
  const int64_t len = text.size();
  if (len > KV_XML_max)
    Raise(Err_Overflow,
          QStringLiteral("XML header too long for the file: %1 characters, at most %2")
              .arg(len)
              .arg(KV_XML_max));
  // The text and its zero tail must stay in front of the first frame.
  if (rec.Header_len > 0 && KV_XML_start + len + KV_XML_zero_tail > rec.Header_len)
    Raise(Err_Overflow, QStringLiteral("XML header does not fit in front of the first frame"));
  rec.XML_len = static_cast<int32_t>(len);
  rec.Set_ID();

  Line(20);
  enum class Place { None, In_File, Sidecar } place = Place::None;
  const QString sidecar = Sidecar_Journal_Path(m_File_name);
  if (journal) {
    Journal_Record j;
    j.target = KV_XML_start;
    j.kvs = rec;
    j.text = text;
    const QByteArray record = Pack_Journal(j);
    const int64_t end = KV_Journal_pos + record.size();
    if (end <= rec.Header_len && end <= KV_hdrend_pos) {
      place = Place::In_File;
      Write_Journal(*f, KV_Journal_pos, record);
    } else {
      place = Place::Sidecar;
      Write_Sidecar(sidecar, record);
    }
  }
  Line(30);
  f->Write_At(KV_XML_start, text.constData(), static_cast<size_t>(len));
  f->Write_At(KV_XML_start + len, Zero_tail.data(), Zero_tail.size());
  const auto packed = rec.Pack();
  f->Write_At(0, packed.data(), packed.size());
  f->Sync();
  Line(40);
  if (place == Place::In_File) Clear_Journal(*f, KV_Journal_pos);
  if (place == Place::Sidecar) Remove_Sidecar(sidecar);
  if (f == &m_File) {
    m_KVS_header = rec;
    m_XML_start = KVS_header_record::Size;
    m_Recovered.reset();
  }
}

void cls_AVI_handler::Write_Header_AVI() {
  Line(50);
  const QByteArray text = Header_Text_For_File();
  const int64_t pos = static_cast<int64_t>(m_XML_chunk_pos_) + 8;
  if (text.size() + KV_XML_zero_tail > m_XML_chunk_size)
    Raise(Err_Overflow,
          QStringLiteral("XML header does not fit in its KVXM chunk: %1 bytes, room for %2")
              .arg(text.size() + KV_XML_zero_tail)
              .arg(m_XML_chunk_size));
  if (!m_File.Writable()) Raise(Err_Permission_Denied);
  Journal_Record j;
  j.target = static_cast<int32_t>(pos);
  j.text = text;
  const QString sidecar = Sidecar_Journal_Path(m_File_name);
  Write_Sidecar(sidecar, Pack_Journal(j));
  m_File.Write_At(pos, text.constData(), static_cast<size_t>(text.size()));
  m_File.Write_At(pos + text.size(), Zero_tail.data(), Zero_tail.size());
  m_File.Sync();
  Remove_Sidecar(sidecar);
}

void cls_AVI_handler::Recover_Header() {
  m_Recovered.reset();
  const QString sidecar = Sidecar_Journal_Path(m_File_name);
  const int64_t size = m_File.Size();
  std::optional<Journal_Record> r;
  bool in_file = false;
  if (m_Kind == Capture_Kind::KV) {
    r = Read_Journal(m_File, KV_Journal_pos);
    in_file = r.has_value();
    if (r && (r->target != KV_XML_start ||
              r->kvs.Header_len < KV_Journal_pos + Journal_head + r->text.size() ||
              r->kvs.Header_len > size || r->text.size() > KV_XML_max)) {
      r.reset();
      in_file = false;
    }
    if (!r) {
      r = Read_Sidecar(sidecar);
      if (r && (r->target != KV_XML_start || r->text.size() > KV_XML_max ||
                r->kvs.Header_len < KV_XML_start + r->text.size() + KV_XML_zero_tail ||
                r->kvs.Header_len > size))
        r.reset();
    }
  } else if (m_Kind == Capture_Kind::AVI) {
    r = Read_Sidecar(sidecar);
    if (r && (m_XML_chunk_pos_ <= 0 || r->target != m_XML_chunk_pos_ + 8 ||
              r->text.size() + KV_XML_zero_tail > m_XML_chunk_size))
      r.reset();
  }
  if (!r) return;
  Trace_Text(QStringLiteral("*cls_AVI_handler, unfinished header write recovered"));
  // The caller loads the recovered text; it is also what the file holds
  // once the record has been replayed.
  m_Recovered = std::make_unique<Journal_Record>(*r);
  if (m_Read_only || !m_File.Writable()) return;
  m_File.Write_At(r->target, r->text.constData(), static_cast<size_t>(r->text.size()));
  m_File.Write_At(r->target + r->text.size(), Zero_tail.data(), Zero_tail.size());
  if (m_Kind == Capture_Kind::KV) {
    const auto packed = r->kvs.Pack();
    m_File.Write_At(0, packed.data(), packed.size());
  }
  m_File.Sync();
  if (in_file)
    Clear_Journal(m_File, KV_Journal_pos);
  else
    Remove_Sidecar(sidecar);
}

}  // namespace qm
