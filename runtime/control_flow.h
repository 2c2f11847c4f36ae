// The control-flow commands: IF and its branches, LOOP, GO, GOSUB, RETURN,
// RETURNCODE, LABELINFO and END. They act on the current task's IF, LOOP
// and GOSUB stacks; jump targets come from the records the compiler wrote.
#pragma once

namespace nv {

struct Engine;

int if_command(Engine& e);
int else_command(Engine& e);
int ifblend_command(Engine& e);
int ifend_command(Engine& e);
int ifbreak_command(Engine& e);
int ifcontinue_command(Engine& e);

int loop_command(Engine& e);
int loopend_command(Engine& e);
int loopbreak_command(Engine& e);
int loopcontinue_command(Engine& e);

int go_command(Engine& e);
int gosub_command(Engine& e);
int return_command(Engine& e);
int returncode_command(Engine& e);
int labelinfo_command(Engine& e);
int end_command(Engine& e);

}  // namespace nv
