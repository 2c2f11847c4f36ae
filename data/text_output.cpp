#include "data/text_output.h"

#include "runtime/task.h"

namespace nv {

void advance_text_output(Engine&, Task& t) { t.text_busy = false; }

}  // namespace nv
