#include "host/engine.h"

namespace nv {

Engine::~Engine() { shut_down(*this); }

}  // namespace nv
