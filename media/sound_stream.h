// Loading, seeking and streaming of one sound: the whole file stays in
// memory and one second of PCM at a time is decoded into half of a
// two-second looping voice. Ogg Vorbis decoders are not kept open between
// fills: each fill opens the stream from memory and seeks to the saved
// sample position.
//
// Functions return 1 (or 0 where noted) on success and the negated internal
// error number on failure.
#pragma once

#include <cstdint>

#include <vorbis/vorbisfile.h>

namespace nv::platform {
class AudioOut;
}  // namespace nv::platform

namespace nv::media {
struct SoundNode;
struct SoundChannel;

// Makes the node's file data present (the built-in silent WAV for the
// keep-alive node, else the bytes kept with its name), reads its format,
// allocates the stream buffers and creates the voice; END becomes the total
// time.
int load_sound(SoundNode& node, platform::AudioOut& audio);

// The format step of loading for file data already present: format, total
// time, buffers and voice. END is left as it is.
int create_playback(SoundChannel& ch, platform::AudioOut& audio);

// Seeks to `t_ms` (see seek_point). `open` is the Ogg stream of a fill in
// progress, which is moved itself; without one an Ogg stream is sought when
// the next fill opens it.
int seek_sound(SoundChannel& ch, int64_t t_ms, OggVorbis_File* open = nullptr);

// Decodes the next half (carry first, then silence, then source data,
// passes restarting at RESTART) into the stream buffer and writes it to the
// voice at the write offset.
int fill_half(SoundChannel& ch);

// Stops and frees the voice and the stream buffers, and the file data with
// `with_data`.
void release_playback(SoundChannel& ch, bool with_data);

}  // namespace nv::media
