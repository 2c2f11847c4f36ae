// Reading and writing system variables through the registered table, and
// the values values/ supplies itself.
#include "values/system_vars.h"

#include "core/engine.h"
#include "core/error_report.h"

namespace nv {

namespace {

// Variable 0, integer [2][8]: row 0 the local time now, row 1 at engine start.
int64_t read_time_rows(Engine& e, uint32_t, int64_t k) {
  platform::LocalTime t = k < 8 ? e.platform.clock->local_time() : e.sysvars.start_time;
  switch (k % 8) {
    case 0: return t.year;
    case 1: return t.month;
    case 2: return t.day;
    case 3: return t.weekday;
    case 4: return t.hour;
    case 5: return t.minute;
    case 6: return t.second;
    default: return t.millisecond;
  }
}

// Variable 1, integer [5]: the millisecond clock, then script timers 1 to 4.
int64_t read_timers(Engine& e, uint32_t, int64_t k) {
  uint32_t now = e.platform.clock->now_ms();
  if (k <= 0 || k > 4) return now;
  return timer_value(e.sysvars.timers[static_cast<size_t>(k - 1)], now);
}

// Variable 2: the code of the Windows build; a host that is not Windows has
// none of those builds (255).
int64_t read_os_code(Engine& e, uint32_t, int64_t) {
  platform::OsVersion v = e.platform.system->os_version();
  return v.platform_id == 0 ? 255 : os_code_for_build(v.build);
}

int64_t read_memory(Engine& e, uint32_t n, int64_t) {
  platform::MemoryStatus m = e.platform.system->memory();
  if (n == 5) return static_cast<int64_t>(m.total_physical);
  if (n == 6) return m.load_percent;
  return static_cast<int64_t>(m.available_physical);
}

int64_t read_999(Engine&, uint32_t, int64_t) { return 999; }
int64_t read_version(Engine&, uint32_t, int64_t) { return 404; }
int64_t read_drop_count(Engine& e, uint32_t, int64_t) { return e.sysvars.dropped_count; }
void write_drop_count(Engine& e, uint32_t, int64_t, int64_t value) { e.sysvars.dropped_count = value; }

int64_t read_desktop(Engine& e, uint32_t n, int64_t) {
  platform::DesktopSize d = e.platform.system->desktop();
  return n == 63 ? d.width : d.height;
}

double read_pi(Engine&, uint32_t, int64_t) { return 3.141592653589793; }

// Variable 14: the dropped file names; an element beyond them is an error.
void read_dropped(Engine& e, uint32_t, int64_t k, std::string& out) {
  if (k < 0 || static_cast<size_t>(k) >= e.sysvars.dropped.size()) {
    report(e, 107010);
    return;
  }
  out = e.sysvars.dropped[static_cast<size_t>(k)];
}

// Variable 73, string [256]: element k is the one-byte text of byte k.
void read_byte_text(Engine&, uint32_t, int64_t k, std::string& out) {
  if (k > 0 && k < 256) out.assign(1, static_cast<char>(k));
}

const SystemVarTable* table_of(Engine& e, uint32_t number) {
  return number < kSystemVariableCount ? e.sysvars.table : nullptr;
}

}  // namespace

void add_value_variables(SystemVarTable& t) {
  t.ints[0] = read_time_rows;
  t.ints[1] = read_timers;
  t.ints[2] = read_os_code;
  t.ints[5] = t.ints[6] = t.ints[7] = read_memory;
  t.ints[15] = read_drop_count;
  t.int_writers[15] = write_drop_count;
  t.ints[33] = read_999;
  t.ints[60] = read_version;
  t.ints[63] = t.ints[64] = read_desktop;
  t.floats[10] = read_pi;
  t.texts[14] = read_dropped;
  t.texts[73] = read_byte_text;
}

uint8_t os_code_for_build(uint32_t build) {
  struct Row {
    uint16_t from, to;
    uint8_t code;
  };
  static constexpr Row kRows[] = {
      {950, 950, 1},   {1111, 1111, 2}, {1212, 1212, 3}, {1214, 1214, 4}, {1057, 1057, 12},
      {1381, 1381, 13}, {1998, 1998, 20}, {2222, 2222, 21}, {3000, 3000, 30}, {2195, 2195, 40},
      {2211, 2211, 45}, {2223, 2223, 45}, {2239, 2239, 45}, {2247, 2247, 45}, {2250, 2250, 45},
      {2257, 2257, 45}, {2600, 2600, 50}, {3790, 3790, 60}, {5219, 5219, 65}, {5260, 5260, 65},
      {5270, 5270, 65}, {5381, 5381, 65}, {5384, 5384, 65}, {5536, 5536, 65}, {5568, 5568, 65},
      {5600, 5600, 65}, {5743, 5743, 65}, {6000, 6002, 70}, {6801, 6801, 80}, {7000, 7000, 80},
      {7100, 7100, 80}, {7600, 7600, 80},
  };
  uint32_t b = build & 0xFFFF;
  for (const Row& r : kRows)
    if (b >= r.from && b <= r.to) return r.code;
  return 255;
}

int64_t read_system_int(Engine& e, uint32_t number, int64_t index) {
  const SystemVarTable* t = table_of(e, number);
  SystemIntReader r = t ? t->ints[number] : nullptr;
  return r ? r(e, number, index) : 0;
}

double read_system_float(Engine& e, uint32_t number, int64_t index) {
  const SystemVarTable* t = table_of(e, number);
  SystemFloatReader r = t ? t->floats[number] : nullptr;
  return r ? r(e, number, index) : 0.0;
}

void read_system_text(Engine& e, uint32_t number, int64_t index, std::string& out) {
  out.clear();
  const SystemVarTable* t = table_of(e, number);
  SystemTextReader r = t ? t->texts[number] : nullptr;
  if (r) r(e, number, index, out);
}

bool write_system_int(Engine& e, uint32_t number, int64_t index, int64_t value) {
  const SystemVarTable* t = table_of(e, number);
  SystemIntWriter w = t ? t->int_writers[number] : nullptr;
  if (!w) return false;
  w(e, number, index, value);
  return true;
}

bool write_system_text(Engine& e, uint32_t number, int64_t index, std::string_view value) {
  const SystemVarTable* t = table_of(e, number);
  SystemTextWriter w = t ? t->text_writers[number] : nullptr;
  if (!w) return false;
  w(e, number, index, value);
  return true;
}

}  // namespace nv
