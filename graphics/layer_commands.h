// The layer commands CG, CGEND and CGINFO.
#pragma once

namespace nv {
struct Engine;
}  // namespace nv

namespace nv::gfx {

int cg_command(Engine& e);
int cgend_command(Engine& e);
int cginfo_command(Engine& e);

}  // namespace nv::gfx
