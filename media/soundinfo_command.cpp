// SOUNDINFO: one value of a sound into the LET variable, and the system
// variable of the sound switch.
#include <mutex>
#include <string>

#include "core/engine.h"
#include "core/tree_path.h"
#include "formats/command_table.h"
#include "media/sound_commands.h"
#include "media/sound_math.h"
#include "media/sound_state.h"
#include "runtime/arg_eval.h"
#include "runtime/arg_slots.h"
#include "runtime/output_target.h"
#include "values/system_vars.h"

namespace nv::media {

namespace {

int64_t read_sound_switch(Engine& e, uint32_t, int64_t) { return e.sound.enabled ? 1 : 0; }

}  // namespace

int soundinfo_command(Engine& e) {
  namespace K = kw::SOUNDINFO;
  if (evaluate_arguments(e) != 0) return -1;
  const ArgSlots& a = e.args;
  const OutputTarget out = output_target(e, K::LET);
  NodePath path;
  if (!resolve_node_path(e, a.has(K::ID) ? a.at(K::ID).text_view() : std::string_view(), SoundTree::kBasePath, path))
    return -1;
  const auto* n = static_cast<const SoundNode*>(find_node_by_path(e, e.sound.tree.root, path, false));
  if (!n) return store_zero(e, out);

  // Everything is read under the lock, stored after it.
  bool text = false;
  bool answered = false;
  int64_t value = 0;
  std::string name;
  {
    std::lock_guard<std::recursive_mutex> g(e.lock);
    const SoundChannel& ch = n->ch;
    const bool playing = ch.state == PlayState::fading_in || ch.state == PlayState::steady ||
                         ch.state == PlayState::stopping;
    const std::pair<int, int64_t> alone[] = {
        {K::EXIST, ch.format != SoundFormat::none}, {K::E, ch.e},         {K::PLAY, playing},
        {K::PAUSE, ch.pause},                       {K::VOLUME, ch.volume}, {K::PAN, ch.pan},
        {K::PITCH, ch.pitch}};
    for (const auto& [kw, v] : alone) {
      if (!a.has(kw)) continue;
      value = v;
      answered = true;
      break;
    }
    if (!answered) {
      const int64_t bps = ch.bytes_per_second;
      const std::pair<int, int64_t> in_order[] = {
          {K::FILETYPE, int64_t(ch.format)},
          {K::FILE, 0},
          {K::START, ch.start},
          {K::RESTART, ch.restart},
          {K::END, ch.end},
          {K::LOOP, ch.loop_limit},
          {K::LOOPCOUNT, ch.loop_count},
          {K::TIME, ms_of_bytes(ch.played_bytes, bps)},
          {K::TOTALTIME, ch.total_time},
          {K::CHANNEL, ch.wave.channels},
          {K::BIT, ch.wave.bits},
          {K::SAMPLING, ch.wave.rate},
          {K::DATALEFT, bps},
          {K::DATARIGHT, bps}};
      for (const auto& [kw, v] : in_order) {
        if (!a.has(kw)) continue;
        answered = true;
        text = kw == K::FILE;
        if (text) name = ch.file_name;
        value = v;
      }
    }
  }
  if (!answered) return 0;
  return text ? store_text(e, out, name) : store_int(e, out, value);
}

void add_sound_variables(SystemVarTable& t) { t.ints[4] = read_sound_switch; }

}  // namespace nv::media
