// What the error routine and the log remember for the life of a process.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace nv {

// The title's error table (nvbin\nve.nbn): codes and their message texts
// (Shift-JIS, pointing into the kept file block). The first entry of a code
// wins. A file may hold any number of entries; the table grows to fit.
struct ErrorTable {
  bool loaded = false;
  std::vector<uint8_t> block;
  std::vector<uint32_t> codes;
  std::vector<std::string_view> messages;
};

constexpr int kErrorSwitchCount = 128;
constexpr int kErrorSwitchCg = 1;  // COM_CG: CG reports attribute changes of missing layers

struct Engine;

// Where the current instruction is: its script's name and line, when a
// script runs. The interpreter supplies it (the top sets it when an engine
// is made); without it reports carry no position.
using ScriptPositionFn = bool (*)(const Engine& e, std::string_view& name, int32_t& line);

struct ErrorState {
  ErrorTable table;
  ScriptPositionFn script_position = nullptr;
  bool dialog_shown = false;        // only the first report is shown
  bool log_header_written = false;  // info.txt's dated header, once per process

  // The position of the last report with a frame (no name, line 1 without).
  std::string last_error_script;
  int32_t last_error_line = 1;

  // The last report, for callers and tools that look at what happened.
  uint32_t last_code = 0;
  std::string last_text;  // Shift-JIS, as composed for the dialog
  uint32_t report_count = 0;

  // ERROR's switches, one per COM_ keyword (switch j for keyword index j + 1).
  std::array<uint8_t, kErrorSwitchCount> switches = make_switches();

  static constexpr std::array<uint8_t, kErrorSwitchCount> make_switches() {
    std::array<uint8_t, kErrorSwitchCount> s{};
    for (auto& b : s) b = 1;
    return s;
  }
};

}  // namespace nv
