// Closing an element reference: records it as the last variable reference
// and finds the linear element its indexes name. Shared by the token
// evaluator and the pre-decoded expressions.
#pragma once

#include <cstdint>

#include "values/evaluator_state.h"
#include "values/variables.h"

namespace nv {

// Records variable `number` with its `count` indexes as the last reference;
// `index(k)` gives index k (k < count).
template <class IndexAt>
inline void record_element_reference(VarRef& ref, uint32_t number, uint32_t count, IndexAt index) {
  ref.number = static_cast<int32_t>(number);
  ref.index_count = static_cast<int32_t>(count);
  for (uint32_t k = 0; k < count && k < kRecordedIndexes; ++k) ref.index[k] = index(k);
}

// Records the reference, then sets ref.element when every index is in
// range; false when one is not. One index per dimension; a missing index
// counts as 0, an index beyond the variable's dimensions has size 0 and is
// always out of range (`v` null: a variable without dimensions).
template <class IndexAt>
inline bool close_element_reference(VarRef& ref, uint32_t number, const Variable* v, uint32_t count, IndexAt index) {
  record_element_reference(ref, number, count, index);
  const uint32_t dims = v ? static_cast<uint32_t>(v->dim_count) : 0;
  const uint32_t used = count > dims ? count : dims;
  int64_t element = 0;
  for (uint32_t k = 0; k < used; ++k) {
    int64_t idx = k < count ? index(k) : 0;
    int64_t size = k < dims ? v->dims[k] : 0;
    if (idx < 0 || idx >= size) return false;
    element = element * size + idx;
  }
  ref.element = element;
  return true;
}

}  // namespace nv
