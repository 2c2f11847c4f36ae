#include "tools/vizud/variables.h"

#include "formats/command_table.h"
#include "platform/encoding.h"
#include "tools/writers/variable_table_writer.h"

namespace nv::vizud {

namespace {

// Script names of the system variables; every typed number is also
// reachable as SYS_<number>.
constexpr SystemVariableName kNames[] = {
    {0, "SYS_TIME"},      {1, "SYS_TIMER"},     {2, "SYS_OS"},         {3, "SYS_DXVERSION"},
    {4, "SYS_SOUND"},     {5, "SYS_MEMTOTAL"},  {6, "SYS_MEMLOAD"},    {7, "SYS_MEMFREE"},
    {9, "SYS_READONLY"},  {10, "SYS_PI"},       {14, "SYS_DROPFILE"},  {15, "SYS_DROPCOUNT"},
    {34, "PINT"},         {35, "PFLT"},         {36, "PSTR"},          {38, "RINT"},
    {39, "RFLT"},         {40, "RSTR"},         {42, "TINT"},          {43, "TFLT"},
    {44, "TSTR"},         {57, "SYS_SAVEDIR"},  {60, "SYS_VERSION"},   {62, "SYS_DEPTH"},
    {63, "SYS_DESKTOPW"}, {64, "SYS_DESKTOPH"}, {65, "SYS_MAXIMIZE"},  {66, "SYS_MINIMIZE"},
    {67, "SYS_CLOSE"},    {73, "SYS_CHAR"},     {78, "SYS_SETTING"},   {79, "SYS_MOUSEX"},
    {80, "SYS_MOUSEY"},   {81, "SYS_JOYCOUNT"}, {82, "SYS_PAD"},       {222, "SYS_MENU"},
};

// The numbers LET may write.
bool assignable_system_variable(int n) {
  return n == 15 || (n >= 65 && n <= 69) || n == 74 || n == 77 || n == 78 || (n >= 90 && n <= 360);
}

}  // namespace

std::span<const SystemVariableName> system_variable_names() { return kNames; }

const char* type_name(VarType t) {
  switch (t) {
    case VarType::kInt: return "integer";
    case VarType::kFloat: return "float";
    case VarType::kString: return "text";
    case VarType::kNone: break;
  }
  return "untyped";
}

SymbolTable::SymbolTable() {
  vars_.resize(kFirstUserVariable);
  for (int n = 0; n < kFirstUserVariable; ++n) {
    vars_[n].number = n;
    vars_[n].scope = Scope::kSystem;
    vars_[n].assignable = false;
  }
  for (int n = 0; n < kFirstUserVariable; ++n) {
    writers::VariableModel m = writers::system_variable(static_cast<uint16_t>(n));
    if (m.type == writers::vartype::kNone) continue;
    VarInfo& v = vars_[static_cast<size_t>(n)];
    v.type = static_cast<VarType>(m.type);
    v.dims = static_cast<int>(m.dims.size());
    for (size_t k = 0; k < m.dims.size(); ++k) v.sizes[k] = m.dims[k];
    v.assignable = assignable_system_variable(n) && v.type != VarType::kFloat;
    v.name = "SYS_" + std::to_string(n);
    globals_[v.name] = n;
  }
  for (const auto& s : kNames) {
    vars_[static_cast<size_t>(s.number)].name = s.name;
    globals_[s.name] = s.number;
  }
  // Key states, second key values and virtual-key codes by engine key name.
  for (size_t k = 0; k < kKeyNames.size(); ++k) {
    std::string key = kKeyNames[k].name;
    int n = static_cast<int>(k);
    globals_["KEY_" + key] = 93 + n;
    globals_["KEY2_" + key] = 227 + n;
    globals_["VKEY_" + key] = 361 + n;
  }
}

bool SymbolTable::alias(const std::string& name, int number) {
  return globals_.emplace(name, number).second;
}

const VarInfo* SymbolTable::find_global(std::string_view name) const {
  auto it = globals_.find(std::string(name));
  return it == globals_.end() ? nullptr : &vars_[static_cast<size_t>(it->second)];
}

const VarInfo* SymbolTable::find(int script, std::string_view name) const {
  auto s = scripts_.find(script);
  if (s != scripts_.end()) {
    auto it = s->second.find(std::string(name));
    if (it != s->second.end()) return &vars_[static_cast<size_t>(it->second)];
  }
  return find_global(name);
}

int SymbolTable::declare(VarInfo info, Diagnostics& diag) {
  std::string shown = platform::sjis_to_utf8(info.name);
  auto clash = [&](const VarInfo& old) {
    std::string where = old.scope == Scope::kSystem ? "a system variable"
                        : "declared at " + old.file + ":" + std::to_string(old.pos.line);
    diag.error(info.file, info.pos,
               "variable \"" + shown + "\" is already " +
                   (old.scope == Scope::kSystem ? where : std::string(type_name(old.type)) + ", " + where));
    return -1;
  };
  if (info.scope == Scope::kGlobal) {
    if (const VarInfo* old = find_global(info.name)) return clash(*old);
  } else {
    auto& names = scripts_[info.script];
    auto it = names.find(info.name);
    if (it != names.end()) {
      VarInfo& old = vars_[static_cast<size_t>(it->second)];
      if (old.scope == info.scope && old.type == info.type && info.scope == Scope::kLocal) {
        old.dims = info.dims;
        old.sizes = info.sizes;
        return old.number;
      }
      return clash(old);
    }
    if (const VarInfo* old = find_global(info.name); old && old->scope == Scope::kSystem) return clash(*old);
  }
  if (static_cast<int>(vars_.size()) > kMaxVariableNumber) {
    diag.error(info.file, info.pos, "too many variables (the limit is " +
                                        std::to_string(kMaxVariableNumber - kFirstUserVariable + 1) + ")");
    return -1;
  }
  int number = static_cast<int>(vars_.size());
  info.number = number;
  if (info.scope == Scope::kGlobal) globals_[info.name] = number;
  else scripts_[info.script][info.name] = number;
  vars_.push_back(std::move(info));
  return number;
}

}  // namespace nv::vizud
