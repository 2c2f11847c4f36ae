// Facts about the machine that scripts and the engine read: fixed values
// for reproducible headless runs (platform/headless/fixed_system_info.h),
// the host's own for interactive ones (platform/posix/host_system_info.h).
#pragma once

#include <cstdint>

namespace nv::platform {

// The user address space of the 32-bit process the scripts were written
// for: at most 2 GiB. Both backends report it as the virtual memory.
constexpr uint64_t kVirtualAddressSpace = uint64_t(2048) * 1024 * 1024;

struct MemoryStatus {
  uint32_t load_percent = 0;
  uint64_t total_physical = 0;
  uint64_t available_physical = 0;
  uint64_t total_page_file = 0;
  uint64_t available_page_file = 0;
  uint64_t total_virtual = 0;
  uint64_t available_virtual = 0;
};

// Operating-system identity in the terms the engine's OS code table uses.
struct OsVersion {
  uint32_t platform_id = 0;  // 2 for the Windows NT family; 0 for a host that is not Windows
  uint32_t major = 0;
  uint32_t minor = 0;
  uint32_t build = 0;
};

struct DesktopSize {
  int width = 0;
  int height = 0;
};

// The vector instruction sets the processor offers (all false off x86).
struct CpuFeatures {
  bool mmx = false;
  bool sse = false;
  bool sse2 = false;
  bool avx2 = false;
};

class SystemInfo {
 public:
  virtual ~SystemInfo() = default;
  virtual MemoryStatus memory() = 0;
  virtual OsVersion os_version() = 0;
  virtual int processor_count() = 0;
  virtual DesktopSize desktop() = 0;
  // What the pixel routines may use. Every backend reports the processor
  // the engine runs on: a routine it lacks cannot run.
  virtual CpuFeatures cpu_features() = 0;
};

}  // namespace nv::platform
