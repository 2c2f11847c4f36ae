#include "data/save_payload.h"

#include <bit>

#include "formats/byte_reader.h"

namespace nv::save {

namespace {

static_assert(std::endian::native == std::endian::little, "payload values are copied as little-endian memory");

template <typename T>
uint32_t encode_numbers(uint32_t type, std::span<const int32_t> dims, std::span<const T> values,
                        std::vector<uint8_t>& out) {
  uint64_t data_size = uint64_t(values.size()) * 8;
  if (data_size > kMaxVariableData) return kErrArrayTooLarge;
  uint32_t error = kOk;
  size_t n = detail::begin_variable_payload(type, dims, data_size, out, error);
  if (error != kOk) return error;
  if (n != values.size()) return kErrDataError;
  size_t pos = out.size();
  out.resize(pos + data_size);
  if (data_size) std::memcpy(out.data() + pos, values.data(), data_size);
  return kOk;
}

}  // namespace

namespace detail {

size_t begin_variable_payload(uint32_t type, std::span<const int32_t> dims, uint64_t data_size,
                              std::vector<uint8_t>& out, uint32_t& error) {
  error = kErrDataError;
  if (dims.size() > kMaxDims) return 0;
  uint64_t count = 1;
  for (int32_t d : dims) {
    if (d < 1) return 0;
    count *= static_cast<uint64_t>(d);
    if (count > kMaxElements) return 0;
  }
  if (data_size > kMaxVariableData) {
    error = kErrArrayTooLarge;
    return 0;
  }
  out.clear();
  out.reserve(12 + 4 * dims.size() + data_size);
  out.resize(12 + 4 * dims.size());
  uint8_t* p = out.data();
  store_u32(p, type);
  store_u32(p + 4, static_cast<uint32_t>(dims.size()));
  for (size_t k = 0; k < dims.size(); ++k) store_u32(p + 8 + 4 * k, static_cast<uint32_t>(dims[k]));
  store_u32(p + 8 + 4 * dims.size(), static_cast<uint32_t>(data_size));
  error = kOk;
  return static_cast<size_t>(count);
}

}  // namespace detail

uint32_t encode_integers(std::span<const int32_t> dims, std::span<const int64_t> values, std::vector<uint8_t>& out) {
  return encode_numbers(kInteger, dims, values, out);
}

uint32_t encode_floats(std::span<const int32_t> dims, std::span<const double> values, std::vector<uint8_t>& out) {
  return encode_numbers(kFloat, dims, values, out);
}

int64_t VariablePayload::integer_at(size_t k) const {
  int64_t v;
  std::memcpy(&v, data.data() + 8 * k, 8);
  return v;
}

double VariablePayload::float_at(size_t k) const {
  double v;
  std::memcpy(&v, data.data() + 8 * k, 8);
  return v;
}

uint32_t decode_variable_payload(std::span<const uint8_t> payload, VariablePayload& out) {
  out = VariablePayload{};
  if (payload.size() < 12) return kErrDataError;
  const uint8_t* p = payload.data();
  uint32_t type = load_u32(p);
  uint32_t d = load_u32(p + 4);
  if (type < kInteger || type > kText || d > kMaxDims) return kErrDataError;
  size_t head = 12 + 4 * size_t(d);
  if (payload.size() < head) return kErrDataError;
  uint64_t count = 1;
  for (uint32_t k = 0; k < d; ++k) {
    uint32_t size = load_u32(p + 8 + 4 * k);
    if (size < 1 || size > kMaxElements) return kErrDataError;
    count *= size;
    if (count > kMaxElements) return kErrDataError;
    out.dims[k] = static_cast<int32_t>(size);
  }
  uint32_t data_size = load_u32(p + 8 + 4 * size_t(d));
  if (data_size > kMaxVariableData) return kErrArrayTooLarge;
  if (payload.size() - head != data_size) return kErrDataError;
  out.type = type;
  out.dim_count = d;
  out.count = static_cast<size_t>(count);
  out.data = payload.subspan(head, data_size);
  if (type != kText) return data_size == count * 8 ? kOk : kErrDataError;

  // Texts: exactly `count` length-prefixed texts fill D.
  if (data_size < count * 4) return kErrDataError;
  out.texts.reserve(out.count);
  size_t pos = 0;
  for (size_t k = 0; k < out.count; ++k) {
    if (out.data.size() - pos < 4) return kErrDataError;
    uint32_t n = load_u32(out.data.data() + pos);
    pos += 4;
    if (out.data.size() - pos < n) return kErrDataError;
    out.texts.emplace_back(reinterpret_cast<const char*>(out.data.data() + pos), n);
    pos += n;
  }
  return pos == out.data.size() ? kOk : kErrDataError;
}

uint32_t encode_image(const ImageInfo& info, std::span<const uint8_t> pixels, std::vector<uint8_t>& out) {
  if (info.width < 1 || info.width > kMaxImageSide || info.height < 1 || info.height > kMaxImageSide)
    return kErrImageData;
  uint64_t size = uint64_t(info.width) * 4 * uint64_t(info.height);
  if (pixels.size() != size) return kErrImageData;
  out.assign(kImageHeadSize + size, 0);
  uint8_t* p = out.data();
  store_u32(p, kLayerBlockSize);
  store_u32(p + 4, static_cast<uint32_t>(size));
  uint8_t* block = p + 8;
  store_u32(block + kBlockWidthOffset, static_cast<uint32_t>(info.width));
  store_u32(block + kBlockHeightOffset, static_cast<uint32_t>(info.height));
  std::memcpy(block + kBlockMarkerOffset, kBlockMarker, sizeof kBlockMarker);
  block[kBlockAlphaOffset] = info.alpha ? 1 : 0;
  std::memcpy(p + kImageHeadSize, pixels.data(), size);
  return kOk;
}

uint32_t decode_image_payload(std::span<const uint8_t> payload, ImagePayload& out) {
  out = ImagePayload{};
  if (payload.size() < kImageHeadSize) return kErrImageData;
  const uint8_t* p = payload.data();
  if (load_u32(p) != kLayerBlockSize) return kErrImageData;
  uint32_t size = load_u32(p + 4);
  const uint8_t* block = p + 8;
  auto width = static_cast<int32_t>(load_u32(block + kBlockWidthOffset));
  auto height = static_cast<int32_t>(load_u32(block + kBlockHeightOffset));
  if (width < 1 || width > kMaxImageSide || height < 1 || height > kMaxImageSide) return kErrImageData;
  if (size != uint64_t(width) * 4 * uint64_t(height) || payload.size() - kImageHeadSize != size) return kErrImageData;
  out.info.width = width;
  out.info.height = height;
  out.info.alpha = std::memcmp(block + kBlockMarkerOffset, kBlockMarker, sizeof kBlockMarker) == 0 &&
                   block[kBlockAlphaOffset] == 1;
  out.pixels = payload.subspan(kImageHeadSize, size);
  return kOk;
}

}  // namespace nv::save
