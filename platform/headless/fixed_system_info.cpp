#include "platform/headless/fixed_system_info.h"

#include "platform/posix/host_system_info.h"

namespace nv::platform {

namespace {

constexpr uint64_t kMiB = 1024 * 1024;

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
    m.total_virtual = kVirtualAddressSpace;
    m.available_virtual = 1792 * kMiB;
    return m;
  }
  OsVersion os_version() override { return OsVersion{}; }
  int processor_count() override { return 2; }
  DesktopSize desktop() override { return desktop_; }
  // The processor is the host's: a routine it lacks cannot run.
  CpuFeatures cpu_features() override { return detect_cpu_features(); }

 private:
  DesktopSize desktop_;
};

}  // namespace

std::unique_ptr<SystemInfo> make_fixed_system_info(DesktopSize desktop) {
  return std::make_unique<FixedSystemInfo>(desktop);
}

}  // namespace nv::platform
