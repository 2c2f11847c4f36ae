// The system variables that read the current task: parameters (34 to 36)
// and return values (38 to 40) of its current call level, and its task
// parameters (42 to 44). Element k is slot k (1 to 10).
#pragma once

#include <cstdint>
#include <string>

namespace nv {

struct Engine;

int64_t read_task_int(Engine& e, uint32_t number, int64_t k);
double read_task_float(Engine& e, uint32_t number, int64_t k);
void read_task_text(Engine& e, uint32_t number, int64_t k, std::string& out);

}  // namespace nv
