// Facts about the machine that scripts can read.
#pragma once

#include <cstdint>
#include <memory>

namespace nv::platform {

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

class SystemInfo {
 public:
  virtual ~SystemInfo() = default;
  virtual MemoryStatus memory() = 0;
  virtual OsVersion os_version() = 0;
  virtual int processor_count() = 0;
  virtual DesktopSize desktop() = 0;
};

// Fixed values for reproducible headless runs (documented in docs/usage.md).
std::unique_ptr<SystemInfo> make_fixed_system_info(DesktopSize desktop = {1920, 1080});
// The host's own values; the desktop size is supplied by the display backend.
std::unique_ptr<SystemInfo> make_host_system_info(DesktopSize desktop);

}  // namespace nv::platform
