#include "platform/system_info.h"

#include <sys/sysinfo.h>
#include <unistd.h>

#include <thread>

namespace nv::platform {

namespace {

constexpr uint64_t kMiB = 1024 * 1024;

// A 32-bit process sees at most 2 GiB of user address space.
constexpr uint64_t kVirtualSpace = 2048 * kMiB;

class FixedSystemInfo final : public SystemInfo {
 public:
  explicit FixedSystemInfo(DesktopSize d) : desktop_(d) {}
  MemoryStatus memory() override {
    MemoryStatus m;
    m.load_percent = 50;
    m.total_physical = 4096 * kMiB;
    m.available_physical = 2048 * kMiB;
    m.total_page_file = 8192 * kMiB;
    m.available_page_file = 6144 * kMiB;
    m.total_virtual = kVirtualSpace;
    m.available_virtual = 1792 * kMiB;
    return m;
  }
  OsVersion os_version() override { return OsVersion{}; }
  int processor_count() override { return 2; }
  DesktopSize desktop() override { return desktop_; }

 private:
  DesktopSize desktop_;
};

class HostSystemInfo final : public SystemInfo {
 public:
  explicit HostSystemInfo(DesktopSize d) : desktop_(d) {}
  MemoryStatus memory() override {
    MemoryStatus m;
    struct sysinfo si;
    if (::sysinfo(&si) == 0) {
      uint64_t unit = si.mem_unit ? si.mem_unit : 1;
      m.total_physical = uint64_t(si.totalram) * unit;
      m.available_physical = (uint64_t(si.freeram) + uint64_t(si.bufferram)) * unit;
      m.total_page_file = m.total_physical + uint64_t(si.totalswap) * unit;
      m.available_page_file = m.available_physical + uint64_t(si.freeswap) * unit;
      if (m.total_physical > 0)
        m.load_percent = static_cast<uint32_t>(100 - m.available_physical * 100 / m.total_physical);
    }
    m.total_virtual = kVirtualSpace;
    m.available_virtual = kVirtualSpace;
    return m;
  }
  OsVersion os_version() override { return OsVersion{}; }
  int processor_count() override {
    unsigned n = std::thread::hardware_concurrency();
    return n == 0 ? 1 : static_cast<int>(n);
  }
  DesktopSize desktop() override { return desktop_; }

 private:
  DesktopSize desktop_;
};

}  // namespace

std::unique_ptr<SystemInfo> make_fixed_system_info(DesktopSize desktop) {
  return std::make_unique<FixedSystemInfo>(desktop);
}
std::unique_ptr<SystemInfo> make_host_system_info(DesktopSize desktop) {
  return std::make_unique<HostSystemInfo>(desktop);
}

}  // namespace nv::platform
