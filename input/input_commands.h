// INPUT, MOUSE, TRAY, DIALOG, CLIPACT and CLIPINFO.
#pragma once

namespace nv {
struct Engine;
}  // namespace nv

namespace nv::input {

int input_command(Engine& e);
int mouse_command(Engine& e);
int tray_command(Engine& e);
int dialog_command(Engine& e);
int clipact_command(Engine& e);
int clipinfo_command(Engine& e);

}  // namespace nv::input
