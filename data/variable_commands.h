// The variable commands: LET, the declarations INT, FLT and STR, VARACT,
// VARINFO and MATH. Each returns 0 to go on, or -1 after a report or a
// shown message.
#pragma once

namespace nv {
struct Engine;
}  // namespace nv

namespace nv::data {

int let_command(Engine& e);
int int_command(Engine& e);
int flt_command(Engine& e);
int str_command(Engine& e);
int varact_command(Engine& e);
int varinfo_command(Engine& e);
int math_command(Engine& e);

}  // namespace nv::data
