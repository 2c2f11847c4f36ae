// FPS: the frame rate and the skip switch of frame pacing.
#pragma once

namespace nv {
struct Engine;
}  // namespace nv

namespace nv::gfx {

int fps_command(Engine& e);

}  // namespace nv::gfx
