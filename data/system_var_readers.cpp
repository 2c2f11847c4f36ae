// The system-variable dispatch table and the readers of the values the
// runtime core supplies. A subsystem that owns the state behind another
// number registers its reader in build_readers() below.
#include <cmath>
#include <cstdio>

#include "data/system_vars.h"
#include "host/engine.h"
#include "host/engine_config.h"
#include "runtime/error_report.h"
#include "runtime/task_vars.h"
#include "input/input_sysvars.h"

namespace nv {

namespace {

// Variable 0, integer [2][8]: row 0 the local time now, row 1 at engine start.
int64_t read_time_rows(Engine& e, uint32_t, int64_t k) {
  platform::LocalTime t = k < 8 ? e.host.clock->local_time() : e.sysvars.start_time;
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
  uint32_t now = e.host.clock->now_ms();
  if (k <= 0 || k > 4) return now;
  return timer_value(e.sysvars.timers[static_cast<size_t>(k - 1)], now);
}

// Variable 2: the code of the Windows build; a host that is not Windows has
// none of those builds (255).
int64_t read_os_code(Engine& e, uint32_t, int64_t) {
  platform::OsVersion v = e.host.system->os_version();
  return v.platform_id == 0 ? 255 : os_code_for_build(v.build);
}

int64_t read_memory(Engine& e, uint32_t n, int64_t) {
  platform::MemoryStatus m = e.host.system->memory();
  if (n == 5) return static_cast<int64_t>(m.total_physical);
  if (n == 6) return m.load_percent;
  return static_cast<int64_t>(m.available_physical);
}

int64_t read_999(Engine&, uint32_t, int64_t) { return 999; }
int64_t read_version(Engine&, uint32_t, int64_t) { return 404; }
int64_t read_index_second_count(Engine& e, uint32_t, int64_t) { return e.scripts.index_second_count; }
int64_t read_drop_count(Engine& e, uint32_t, int64_t) { return e.sysvars.dropped_count; }

int64_t read_desktop(Engine& e, uint32_t n, int64_t) {
  platform::DesktopSize d = e.host.system->desktop();
  return n == 63 ? d.width : d.height;
}

// 361 + k: the virtual-key code of engine key k (the command table's key table).
int64_t read_key_code(Engine& e, uint32_t n, int64_t) { return e.scripts.commands.key_table[n - 361]; }

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

SystemReaders build_readers() {
  SystemReaders r;
  add_held_readers(r);
  r.ints[0] = read_time_rows;
  r.ints[1] = read_timers;
  r.ints[2] = read_os_code;
  r.ints[5] = r.ints[6] = r.ints[7] = read_memory;
  r.ints[15] = read_drop_count;
  r.ints[33] = read_999;
  r.ints[60] = read_version;
  r.ints[63] = r.ints[64] = read_desktop;
  r.ints[70] = read_index_second_count;
  for (uint32_t n = 361; n <= 489; ++n) r.ints[n] = read_key_code;
  r.ints[34] = r.ints[38] = r.ints[42] = read_task_int;
  r.floats[35] = r.floats[39] = r.floats[43] = read_task_float;
  r.texts[36] = r.texts[40] = r.texts[44] = read_task_text;
  r.floats[10] = read_pi;
  r.texts[14] = read_dropped;
  r.texts[73] = read_byte_text;
  add_input_readers(r);
  return r;
}

}  // namespace

const SystemReaders& system_readers() {
  static const SystemReaders table = build_readers();
  return table;
}

int64_t read_system_int(Engine& e, uint32_t number, int64_t index) {
  if (number >= kSystemVariableCount) return 0;
  SystemIntReader r = system_readers().ints[number];
  return r ? r(e, number, index) : 0;
}

double read_system_float(Engine& e, uint32_t number, int64_t index) {
  if (number >= kSystemVariableCount) return 0.0;
  SystemFloatReader r = system_readers().floats[number];
  return r ? r(e, number, index) : 0.0;
}

void read_system_text(Engine& e, uint32_t number, int64_t index, std::string& out) {
  out.clear();
  if (number >= kSystemVariableCount) return;
  SystemTextReader r = system_readers().texts[number];
  if (r) r(e, number, index, out);
}

}  // namespace nv
