// The sound commands SOUND, SOUNDEND and SOUNDINFO, and the system
// variable of the sound switch. They run on the script thread and reach the
// sounds only through the request ring; they hold the engine lock only to
// queue a request, to link or unlink a node, to store a field the script
// thread owns (E, LOOP, the format) and to read SOUNDINFO's values, and
// wait for requests outside it.
#pragma once

namespace nv {
struct Engine;
struct SystemVarTable;
}  // namespace nv

namespace nv::media {

int sound_command(Engine& e);
int soundend_command(Engine& e);
int soundinfo_command(Engine& e);

// System variable 4: 1 when sound is usable.
void add_sound_variables(SystemVarTable& t);

}  // namespace nv::media
