#include "platform/posix/host_system_info.h"

#include <sys/sysinfo.h>

#include <thread>

namespace nv::platform {

namespace {

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
    m.total_virtual = kVirtualAddressSpace;
    m.available_virtual = kVirtualAddressSpace;
    return m;
  }
  OsVersion os_version() override { return OsVersion{}; }
  int processor_count() override {
    unsigned n = std::thread::hardware_concurrency();
    return n == 0 ? 1 : static_cast<int>(n);
  }
  DesktopSize desktop() override { return desktop_; }
  CpuFeatures cpu_features() override { return detect_cpu_features(); }

 private:
  DesktopSize desktop_;
};

}  // namespace

CpuFeatures detect_cpu_features() {
  CpuFeatures f;
#if defined(__x86_64__) || defined(__i386__)
  __builtin_cpu_init();
  f.mmx = __builtin_cpu_supports("mmx");
  f.sse = __builtin_cpu_supports("sse");
  f.sse2 = __builtin_cpu_supports("sse2");
  f.avx2 = __builtin_cpu_supports("avx2");
#endif
  return f;
}

std::unique_ptr<SystemInfo> make_host_system_info(DesktopSize desktop) {
  return std::make_unique<HostSystemInfo>(desktop);
}

}  // namespace nv::platform
