#include "resources/file_loader.h"

#include <new>

#include "core/engine.h"
#include "core/error_report.h"
#include "resources/entry_read.h"
#include "resources/name_fold.h"
#include "resources/pack_lookup.h"
#include "resources/pack_open.h"
#include "resources/resource_state.h"

namespace nv::res {

namespace {

bool copy_block(const std::vector<uint8_t>& from, std::vector<uint8_t>& to) {
  try {
    to = from;
    return true;
  } catch (const std::bad_alloc&) {
    return false;
  }
}

bool find_cached(ResourceState& rs, std::string_view name, FileRequest& req) {
  for (int g = 0; g < kCacheGroups; ++g) {
    const auto& slots = rs.caches[static_cast<size_t>(g)].slots;
    for (size_t s = 0; s < slots.size(); ++s) {
      if (equal_ignore_case_sjis(slots[s].name, name)) {
        req.source = FileSource::cached;
        req.cache_group = g;
        req.cache_slot = static_cast<int32_t>(s);
        req.type = slots[s].type;
        return true;
      }
    }
  }
  return false;
}

bool find_shared(ResourceState& rs, std::string_view name, FileRequest& req) {
  for (size_t i = 0; i < rs.shared_files.size(); ++i) {
    if (equal_ignore_case_sjis(rs.shared_files[i].name, name)) {
      req.source = FileSource::shared;
      req.shared_index = static_cast<int32_t>(i);
      return true;
    }
  }
  return false;
}

int read_loose(Engine& e, FileRequest& req) {
  platform::OpenedFile f = e.platform.files->open_read(req.name);
  if (f.status != platform::FileStatus::ok) {
    report(e, 104010, {req.name});
    return kLoadNotFound;
  }
  std::vector<uint8_t> data;
  try {
    data.resize(static_cast<size_t>(f.file.size()));
  } catch (const std::exception&) {
    report(e, 104030, {req.name});
    return kLoadReadError;
  }
  if (!f.file.read_at(0, data)) {
    report(e, 104010, {req.name});
    return kLoadReadError;
  }
  req.data = std::move(data);
  return kLoadOk;
}

// Copies an in-memory file. The slot found by the lookup is checked again
// by name: a cache may have moved its files since.
int read_in_memory(Engine& e, FileRequest& req) {
  ResourceState& rs = e.resources;
  std::unique_lock<std::mutex> guard(rs.sources_lock);
  const std::vector<uint8_t>* from = nullptr;
  if (req.source == FileSource::cached && req.cache_group >= 0 && req.cache_group < kCacheGroups) {
    auto& slots = rs.caches[static_cast<size_t>(req.cache_group)].slots;
    auto s = static_cast<size_t>(req.cache_slot);
    if (req.cache_slot < 0 || s >= slots.size() || !equal_ignore_case_sjis(slots[s].name, req.name)) {
      req.cache_slot = -1;
      for (size_t i = 0; i < slots.size(); ++i)
        if (equal_ignore_case_sjis(slots[i].name, req.name)) req.cache_slot = static_cast<int32_t>(s = i);
    }
    if (req.cache_slot >= 0) from = &slots[s].data;
  } else if (req.source == FileSource::shared) {
    auto i = static_cast<size_t>(req.shared_index);
    if (req.shared_index >= 0 && i < rs.shared_files.size() &&
        equal_ignore_case_sjis(rs.shared_files[i].name, req.name))
      from = &rs.shared_files[i].data;
  }
  if (!from) {
    guard.unlock();
    report(e, 104010, {req.name});
    return kLoadNotFound;
  }
  if (!copy_block(*from, req.data)) {
    guard.unlock();
    report(e, 104030, {req.name});
    return kLoadReadError;
  }
  return kLoadOk;
}

}  // namespace

FileType file_type_of_name(std::string_view name) {
  struct Ext {
    std::string_view ext;
    FileType type;
  };
  static constexpr Ext kExts[] = {{".bmp", FileType::bmp}, {".png", FileType::png}, {".jpg", FileType::jpeg},
                                  {".gif", FileType::gif}, {".psd", FileType::psd}, {".wav", FileType::wav},
                                  {".ogg", FileType::ogg}};
  for (const Ext& x : kExts)
    if (ends_with_ignore_case(name, x.ext)) return x.type;
  return FileType::unknown;
}

int lookup_file(Engine& e, std::string_view name, FileRequest& req, bool typed_by_extension) {
  ResourceState& rs = e.resources;
  req.name = std::string(name);
  req.source = FileSource::none;
  req.type = FileType::unknown;
  {
    std::lock_guard<std::mutex> guard(rs.sources_lock);
    if (find_cached(rs, name, req) || find_shared(rs, name, req)) return kLookupFound;
  }
  bool loose_unreadable = false;
  if (!rs.appended.packed) {
    platform::OpenedFile f = e.platform.files->open_read(name);
    if (f.status == platform::FileStatus::ok) {
      req.source = FileSource::loose;
      if (typed_by_extension) req.type = file_type_of_name(name);
      return kLookupFound;
    }
    loose_unreadable = f.status == platform::FileStatus::unreadable;
  }
  int32_t i = find_pack_entry(rs, name);
  if (i < 0) return loose_unreadable ? kLookupUnreadable : kLookupNotFound;
  const PackEntry& entry = rs.entries[static_cast<size_t>(i)];
  // The pack is read at load time; a pack that has gone is found here, as
  // a lookup that reads the name from the pack would.
  if (!open_pack(e, rs.packs[entry.pack]).is_open()) return kLookupPackUnopenable;
  req.source = FileSource::pack;
  req.pack_entry = i;
  req.pack_number = static_cast<int32_t>(entry.pack);
  req.entry_fields_pos = entry.fields_pos();
  req.type = entry.type;
  return kLookupFound;
}

int load_file(Engine& e, std::string_view name, FileRequest& req, bool report_missing, bool lookup) {
  if (lookup) {
    req = FileRequest{};
    int r = lookup_file(e, name, req);
    if (r != kLookupFound) {
      if (r == kLookupPackUnopenable) {
        if (report_missing) report(e, 901040, {name});
        return kLoadDamaged;
      }
      if (report_missing) report(e, r == kLookupUnreadable ? 104010 : 104060, {name});
      return kLoadNotFound;
    }
  }
  req.data.clear();
  switch (req.source) {
    case FileSource::loose: return read_loose(e, req);
    case FileSource::cached:
    case FileSource::shared: return read_in_memory(e, req);
    case FileSource::pack: {
      const ResourceState& rs = e.resources;
      if (req.pack_entry < 0 || static_cast<size_t>(req.pack_entry) >= rs.entries.size()) break;
      return read_pack_entry(e, req.name, rs.entries[static_cast<size_t>(req.pack_entry)], req.data);
    }
    case FileSource::none: break;
  }
  if (report_missing) report(e, 104060, {req.name});
  return kLoadNotFound;
}

}  // namespace nv::res
