// The headless clipboard.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/clipboard.h"

namespace nv::platform {

// A clipboard of this process alone, holding UTF-8 as a desktop would.
class HeadlessClipboard final : public Clipboard {
 public:
  bool set_text(std::string_view sjis) override;
  std::optional<std::string> text() override;
  // What a desktop program would read and put there.
  const std::optional<std::string>& utf8() const { return utf8_; }
  void set_utf8(std::optional<std::string> text) { utf8_ = std::move(text); }

 private:
  std::optional<std::string> utf8_;
};

}  // namespace nv::platform
