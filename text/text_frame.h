// The text output's part of a frame, run once before every walk of the
// task tree: the queue advances (characters drawn into the target layer,
// which is marked changed) and, when nothing is left to output, every task
// that waits for its text goes on. A task that is not waiting is not
// touched.
#pragma once

namespace nv {
struct Engine;
}  // namespace nv

namespace nv::text {


void text_walk_step(Engine& e);

}  // namespace nv::text
