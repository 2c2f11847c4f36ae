// The evaluated arguments of the current instruction. One set for the whole
// engine, reused by every instruction; handlers read their keywords here.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <string_view>

#include "runtime/script_tables.h"
#include "values/evaluator_state.h"

namespace nv {

struct ArgSlot {
  uint8_t keyword = 0;
  uint8_t selector = 0;
  uint8_t assign_op = 0;  // 0 =, 1 +=, 2 -=, 3 *=, 4 /= (LET also 5..8)
  uint32_t size = 0;
  uint32_t offset = 0;
  int64_t value = 0;                // integer arguments
  std::unique_ptr<char[]> text;     // string arguments: kTextBufferSize bytes, made on first use
  uint32_t text_length = 0;
  const uint8_t* raw = nullptr;     // type 2: the expression, evaluated by the handler
  // The variable the expression referenced last.
  int32_t var_number = 0;
  int32_t var_element = 0;
  bool var_whole = false;

  std::string_view text_view() const { return text ? std::string_view(text.get(), text_length) : std::string_view(); }
  std::span<const uint8_t> raw_expr() const { return raw ? std::span<const uint8_t>(raw, size) : std::span<const uint8_t>(); }
};

struct ArgSlots {
  std::array<ArgSlot, kMaxArguments + 1> slot;  // positions 1 .. 95
  std::array<uint8_t, kKeywordLimit> map{};    // keyword index -> position, 0 when not given

  bool has(int keyword) const { return map[static_cast<size_t>(keyword)] != 0; }
  const ArgSlot& at(int keyword) const { return slot[map[static_cast<size_t>(keyword)]]; }
  int64_t value(int keyword, int64_t fallback = 0) const { return has(keyword) ? at(keyword).value : fallback; }
};

}  // namespace nv
