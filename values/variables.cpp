#include "values/variables.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <new>

#include "core/engine.h"
#include "core/error_report.h"

namespace nv {

int64_t truncate_to_int(double d) {
  constexpr double kLimit = 9223372036854775808.0;  // 2^63
  if (std::isnan(d) || d >= kLimit || d < -kLimit) return std::numeric_limits<int64_t>::min();
  return static_cast<int64_t>(d);
}

int64_t checked_element_count(Engine& e, std::span<const int32_t> dims) {
  // The product is tracked by magnitude (saturated) and sign, so that no
  // shape can overflow the 64-bit arithmetic.
  int64_t magnitude = 1;
  bool negative = false;
  for (int32_t d : dims) {
    if (d == 0) {
      magnitude = 0;
      break;
    }
    if (d < 0) negative = !negative;
    int64_t m = d < 0 ? -int64_t(d) : int64_t(d);
    magnitude = magnitude > kMaxElements ? magnitude : magnitude * m;
    if (magnitude > kMaxElements) magnitude = kMaxElements + 1;
  }
  if (magnitude == 0 || negative) {
    report(e, 101110);
    return 0;
  }
  if (magnitude > kMaxElements) {
    report(e, 101100, {kMaxElements});
    return 0;
  }
  return magnitude;
}

namespace {

// Validates number and shape; on success resets the record to `type` with
// that shape and its element count, with no storage yet.
Variable* prepare(Engine& e, uint32_t number, std::span<const int32_t> dims, int8_t type, int64_t& count) {
  Variable* v = e.vars.find(number);
  if (!v) {
    report(e, 900070);
    return nullptr;
  }
  if (dims.size() > static_cast<size_t>(kMaxDims)) {
    report(e, 101110);
    return nullptr;
  }
  count = checked_element_count(e, dims);
  if (count == 0) return nullptr;
  v->type = type;
  v->dim_count = static_cast<int8_t>(dims.size());
  v->dims.fill(0);
  std::copy(dims.begin(), dims.end(), v->dims.begin());
  v->count = count;
  // Storage of the previous declaration is released whatever its type.
  std::vector<int64_t>().swap(v->ints);
  std::vector<double>().swap(v->floats);
  std::vector<TextCell>().swap(v->texts);
  return v;
}

}  // namespace

int create_integer(Engine& e, uint32_t number, std::span<const int32_t> dims, int64_t init) {
  int64_t n = 0;
  Variable* v = prepare(e, number, dims, kVarInt, n);
  if (!v) return -1;
  v->ints.assign(static_cast<size_t>(n), init);
  return 0;
}

int create_float(Engine& e, uint32_t number, std::span<const int32_t> dims, double init) {
  int64_t n = 0;
  Variable* v = prepare(e, number, dims, kVarFloat, n);
  if (!v) return -1;
  v->floats.assign(static_cast<size_t>(n), init);
  return 0;
}

void store_text(TextCell& cell, std::string_view text) {
  size_t need = text.size() + 1;
  if (!cell.buf || cell.capacity < need) {
    cell.buf.reset(new char[need]);
    cell.capacity = static_cast<uint32_t>(need);
  }
  if (!text.empty()) std::memcpy(cell.buf.get(), text.data(), text.size());
  cell.buf[text.size()] = '\0';
  cell.length = static_cast<uint32_t>(text.size());
}

void append_text(TextCell& cell, std::string_view more) {
  size_t need = size_t(cell.length) + more.size() + 1;
  if (!cell.buf || cell.capacity < need) {
    // Grows to exactly the new length + 1, as a store of the joined text does.
    std::unique_ptr<char[]> grown(new char[need]);
    if (cell.length) std::memcpy(grown.get(), cell.buf.get(), cell.length);
    cell.buf = std::move(grown);
    cell.capacity = static_cast<uint32_t>(need);
  }
  if (!more.empty()) std::memcpy(cell.buf.get() + cell.length, more.data(), more.size());
  cell.length += static_cast<uint32_t>(more.size());
  cell.buf[cell.length] = '\0';
}

int create_string(Engine& e, uint32_t number, std::span<const int32_t> dims, std::string_view init) {
  int64_t n = 0;
  Variable* v = prepare(e, number, dims, kVarString, n);
  if (!v) return -1;
  v->texts.resize(static_cast<size_t>(n));
  for (TextCell& c : v->texts) store_text(c, init);
  return 0;
}

std::string_view read_text(const Variable& v, int64_t k) {
  if (v.type != kVarString || k < 0 || static_cast<size_t>(k) >= v.texts.size()) return {};
  return v.texts[static_cast<size_t>(k)].view();
}

int write_text(Engine& e, Variable& v, int64_t k, std::string_view text) {
  if (v.type != kVarString) return report(e, 101140);
  if (k < 0 || static_cast<size_t>(k) >= v.texts.size()) return 0;
  store_text(v.texts[static_cast<size_t>(k)], text);
  return 0;
}

int resize_first_dimension(Engine& e, uint32_t number, int32_t new_size) {
  Variable* v = e.vars.find(number);
  if (!v) return report(e, 900070);
  std::array<int32_t, kMaxDims> dims = v->dims;
  int used = v->dim_count > 0 ? v->dim_count : 1;
  dims[0] = new_size;
  int64_t n = checked_element_count(e, std::span<const int32_t>(dims.data(), static_cast<size_t>(used)));
  if (n == 0) return -1;
  // Row-major storage: the first dimension varies slowest, so keeping the
  // leading elements keeps the leading rows of every shape.
  size_t count = static_cast<size_t>(n);
  switch (v->type) {
    case kVarInt: v->ints.resize(count, 0); break;
    case kVarFloat: v->floats.resize(count, 0.0); break;
    case kVarString: {
      size_t old = v->texts.size();
      v->texts.resize(count);
      for (size_t k = old; k < count; ++k) store_text(v->texts[k], {});
      break;
    }
    default: break;
  }
  v->dims = dims;
  v->dim_count = static_cast<int8_t>(used);
  v->count = n;
  return 0;
}

}  // namespace nv
