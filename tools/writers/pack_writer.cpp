#include "tools/writers/pack_writer.h"

#include <zlib.h>

#include <algorithm>

#include "formats/checksums.h"
#include "formats/pack_format.h"
#include "formats/pack_view.h"
#include "formats/repair_record.h"
#include "formats/sjis_text.h"
#include "tools/writers/write_error.h"

namespace nv::writers {

namespace {

std::string lower_extension(std::string_view name) {
  size_t dot = name.rfind('.');
  size_t sep = name.find_last_of("\\/");
  if (dot == std::string_view::npos || (sep != std::string_view::npos && dot < sep)) return {};
  std::string ext(name.substr(dot));
  for (char& c : ext)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return ext;
}

}  // namespace

uint8_t pack_file_type(std::string_view name) {
  std::string e = lower_extension(name);
  if (e == ".bmp") return 1;
  if (e == ".png") return 2;
  if (e == ".jpg" || e == ".jpeg") return 3;
  if (e == ".gif") return 4;
  if (e == ".wav") return 5;
  if (e == ".ogg") return 6;
  if (e == ".psd") return 7;
  return 0;
}

bool compressed_by_default(std::string_view name) {
  static constexpr std::string_view kStored[] = {".png", ".jpg", ".jpeg", ".gif", ".ogg", ".mp3", ".avi", ".mpg",
                                                 ".mpeg", ".wmv", ".mp4", ".swf", ".nmv", ".npf", ".zip", ".gz"};
  std::string e = lower_extension(name);
  return std::find(std::begin(kStored), std::end(kStored), e) == std::end(kStored);
}

std::string normalize_entry_name(std::string_view name) {
  std::string out;
  out.reserve(name.size());
  for (size_t i = 0; i < name.size(); ++i) {
    char c = name[i];
    if (sjis::is_lead_byte(c) && i + 1 < name.size()) {
      out += c;
      out += name[++i];
      continue;
    }
    if (c == '/') c = '\\';
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c == '\0') throw WriteError("an entry name contains a NUL byte");
    out += c;
  }
  while (out.starts_with(".\\")) out.erase(0, 2);
  while (out.starts_with("\\")) out.erase(0, 1);
  if (out.empty() || out.ends_with("\\")) throw WriteError("entry name \"" + std::string(name) + "\" names no file");
  size_t start = 0;
  while (start <= out.size()) {
    size_t end = out.find('\\', start);
    if (end == std::string::npos) end = out.size();
    std::string_view part(out.data() + start, end - start);
    if (part.empty() || part == "." || part == "..")
      throw WriteError("entry name \"" + std::string(name) + "\" has an empty, \".\" or \"..\" component");
    start = end + 1;
  }
  if (out.size() > 255) throw WriteError("entry name \"" + std::string(name) + "\" is longer than 255 bytes");
  return out;
}

void PackWriter::add(std::string_view name, Bytes data, Compress mode) {
  std::string n = normalize_entry_name(name);
  for (const Entry& e : entries_)
    if (e.name == n) throw WriteError("entry \"" + n + "\" is added twice");
  if (data.size() > 0xFFFFFFFFu) throw WriteError("entry \"" + n + "\" is larger than 4 GiB");
  Entry e{n, pack_file_type(n), pack::kStored, static_cast<uint32_t>(data.size()), {}};
  bool compress = mode == Compress::always || (mode == Compress::by_extension && compressed_by_default(n));
  if (compress && !data.empty()) {
    uLongf bound = compressBound(static_cast<uLong>(data.size()));
    Bytes z(bound);
    int level = std::clamp(options_.level, 1, 9);
    if (compress2(z.data(), &bound, data.data(), static_cast<uLong>(data.size()), level) != Z_OK)
      throw WriteError("entry \"" + n + "\" could not be compressed");
    z.resize(bound);
    if (z.size() < data.size() || mode == Compress::always) {
      e.compression = pack::kZlib;
      e.stored = std::move(z);
    }
  }
  if (e.compression == pack::kStored) e.stored = std::move(data);
  entries_.push_back(std::move(e));
}

Bytes PackWriter::encode() const {
  uint64_t index_size = 0;
  for (const Entry& e : entries_) index_size += pack::kRecordFixedSize + e.name.size();
  uint64_t offset = pack::kHeaderSize + index_size;
  std::vector<Bytes> records;
  std::vector<uint32_t> offsets;
  for (const Entry& e : entries_) {
    offsets.push_back(static_cast<uint32_t>(offset));
    records.push_back(options_.repair_records ? encode_repair_record(e.stored) : empty_repair_record());
    offset += e.stored.size() + records.back().size();
    if (offset > 0xFFFFFFFFu) throw WriteError("the pack would be larger than 4 GiB");
  }
  ByteWriter w;
  w.data().reserve(static_cast<size_t>(offset));
  w.text(std::string_view(pack::kMagic, 4));
  w.u32(pack::kVersion);
  w.u32(static_cast<uint32_t>(entries_.size()));
  w.u32(static_cast<uint32_t>(index_size));
  w.zeros(16);
  for (size_t i = 0; i < entries_.size(); ++i) {
    const Entry& e = entries_[i];
    w.u32(crc32_of(e.name));
    w.u8(pack::stored_length_byte(static_cast<uint8_t>(e.name.size())));
    for (char c : e.name) w.u8(static_cast<uint8_t>(~static_cast<uint8_t>(c)));
    w.u8(e.type);
    w.u8(e.compression);
    w.u32(e.size);
    w.u32(static_cast<uint32_t>(e.stored.size()));
    w.u32(offsets[i]);
    w.u32(adler32_of(e.stored, 1));
  }
  for (size_t i = 0; i < entries_.size(); ++i) {
    w.bytes(entries_[i].stored);
    w.bytes(records[i]);
  }
  return w.take();
}

Bytes encode_packed_executable(std::span<const uint8_t> engine, std::span<const uint8_t> pack, bool screen_saver) {
  std::span<const uint8_t> exe = engine.first(pack::executable_size(engine));
  if (exe.size() > 0xFFFFFFFFu - pack::kAppendedHeaderSize) throw WriteError("the engine binary is too large");
  ByteWriter w;
  w.data().reserve(exe.size() + pack::kAppendedHeaderSize + pack.size() + pack::kTrailerSize);
  w.bytes(exe);
  w.text(std::string_view(pack::kAppendedMagic, 4));
  w.u32(pack::kAppendedHeaderSize);
  w.u32(screen_saver ? 1 : 0);
  w.u32(0);
  w.bytes(pack);
  w.text(pack::kTrailerMagic);
  w.u32(static_cast<uint32_t>(exe.size()));
  w.u32(0);
  return w.take();
}

}  // namespace nv::writers
