#include "graphics/image_error_texts.h"

namespace nv::gfx {

const std::string_view kImageAllocFailText = "メモリ確保エラーです。[%s](%d, %d)";

}  // namespace nv::gfx
