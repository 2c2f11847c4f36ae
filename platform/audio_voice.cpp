#include <algorithm>
#include <cstring>

#include "platform/audio.h"
#include "platform/audio_mixer.h"

namespace nv::platform {

Voice::Voice(AudioOut& owner, std::unique_ptr<VoiceCore> core) : owner_(owner), core_(std::move(core)) {}

Voice::~Voice() { owner_.remove_voice(core_.get()); }

const VoiceFormat& Voice::format() const { return core_->format; }

uint32_t Voice::size() const { return core_->frames * core_->block_align; }

void Voice::write(uint32_t offset, const uint8_t* bytes, uint32_t n) {
  const uint32_t total = size();
  if (total == 0) return;
  n = std::min(n, total);
  offset %= total;
  const uint32_t first = std::min(n, total - offset);
  std::memcpy(core_->data.get() + offset, bytes, first);
  if (n > first) std::memcpy(core_->data.get(), bytes + first, n - first);
  core_->published.fetch_add(1, std::memory_order_release);
}

void Voice::position(uint32_t& play, uint32_t& write) const {
  const VoiceCore& v = *core_;
  play = static_cast<uint32_t>(v.consumed.load(std::memory_order_acquire) % v.frames) * v.block_align;
  write = static_cast<uint32_t>(v.read_limit.load(std::memory_order_acquire) % v.frames) * v.block_align;
}

uint64_t Voice::consumed_frames() const { return core_->consumed.load(std::memory_order_acquire); }

void Voice::play() { core_->playing.store(true, std::memory_order_release); }
void Voice::stop() { core_->playing.store(false, std::memory_order_release); }
bool Voice::playing() const { return core_->playing.load(std::memory_order_acquire); }

void Voice::update_gains() {
  const float g = gain_of_hundredths_db(core_->volume_hdb.load(std::memory_order_relaxed));
  const int32_t pan = core_->pan_hdb.load(std::memory_order_relaxed);
  // A pan towards one side attenuates the other.
  core_->gain_left.store(pan > 0 ? g * gain_of_hundredths_db(-pan) : g, std::memory_order_relaxed);
  core_->gain_right.store(pan < 0 ? g * gain_of_hundredths_db(pan) : g, std::memory_order_relaxed);
}

void Voice::set_volume(int32_t hdb) {
  core_->volume_hdb.store(std::clamp(hdb, kSilentHundredthsDb, 0), std::memory_order_relaxed);
  update_gains();
}

void Voice::set_pan(int32_t hdb) {
  core_->pan_hdb.store(std::clamp(hdb, kSilentHundredthsDb, -kSilentHundredthsDb), std::memory_order_relaxed);
  update_gains();
}

void Voice::set_frequency(uint32_t hz) {
  core_->frequency.store(std::clamp(hz, kMinVoiceFrequency, kMaxVoiceFrequency), std::memory_order_relaxed);
}

int32_t Voice::volume() const { return core_->volume_hdb.load(std::memory_order_relaxed); }
int32_t Voice::pan() const { return core_->pan_hdb.load(std::memory_order_relaxed); }
uint32_t Voice::frequency() const { return core_->frequency.load(std::memory_order_relaxed); }

}  // namespace nv::platform
