#include "formats/command_table.h"

namespace nv {

const BuiltinCommand* find_builtin_command(std::string_view name) {
  for (const BuiltinCommand& c : builtin_commands())
    if (name == c.name) return &c;
  return nullptr;
}

int find_keyword(const BuiltinCommand& command, std::string_view keyword) {
  for (size_t i = 0; i < command.keywords.size(); ++i)
    if (keyword == command.keywords[i].name) return static_cast<int>(i);
  return -1;
}

const std::array<std::string_view, kErrnoTextCount> kErrnoTexts = {
    "エラーはありません。",                              // 0
    "操作は許可されていません。",                        // 1 EPERM
    "ファイルまたはディレクトリが存在しません。",        // 2 ENOENT
    "プロセスが存在しません。",                          // 3 ESRCH
    "関数呼び出しが割り込まれました。",                  // 4 EINTR
    "入出力エラーです。",                                // 5 EIO
    "デバイスまたはアドレスが存在しません。",            // 6 ENXIO
    "引数リストが長すぎます。",                          // 7 E2BIG
    "実行形式エラーです。",                              // 8 ENOEXEC
    "ファイル記述子が不正です。",                        // 9 EBADF
    "子プロセスがありません。",                          // 10 ECHILD
    "リソースが一時的に利用できません。",                // 11 EAGAIN
    "メモリが足りません。",                              // 12 ENOMEM
    "アクセスが拒否されました。",                        // 13 EACCES
    "アドレスが不正です。",                              // 14 EFAULT
    " ",                                                 // 15
    "デバイスまたはリソースが使用中です。",              // 16 EBUSY
    "ファイルが既に存在します。",                        // 17 EEXIST
    "異なるデバイス間のリンクです。",                    // 18 EXDEV
    "デバイスが存在しません。",                          // 19 ENODEV
    "ディレクトリではありません。",                      // 20 ENOTDIR
    "ディレクトリです。",                                // 21 EISDIR
    "引数が不正です。",                                  // 22 EINVAL
    "システム全体で開いているファイルが多すぎます。",    // 23 ENFILE
    "開いているファイルが多すぎます。",                  // 24 EMFILE
    "デバイスに対する不適切な入出力制御操作です。",      // 25 ENOTTY
    " ",                                                 // 26
    "ファイルが大きすぎます。",                          // 27 EFBIG
    "デバイスに空き領域がありません。",                  // 28 ENOSPC
    "シークが不正です。",                                // 29 ESPIPE
    "読み出し専用のファイルシステムです。",              // 30 EROFS
    "リンクが多すぎます。",                              // 31 EMLINK
    "パイプが切断されました。",                          // 32 EPIPE
    "数値引数が定義域の外です。",                        // 33 EDOM
    "結果が大きすぎます。",                              // 34 ERANGE
    " ",                                                 // 35
    "リソースのデッドロックを回避しました。",            // 36 EDEADLK
};

// Engine key numbers 0 to 123: the any-key slot, the six mouse slots, then
// the 117 keyboard keys in the order the input sampler scans them.
const std::array<KeyName, 124> kKeyNames = {{
    {0, "ANY"},         {1, "LBUTTON"},     {2, "RBUTTON"},    {4, "MBUTTON"},     {5, "WHEELUP"},
    {6, "WHEELDOWN"},   {7, "MOUSEMOVE"},   {8, "BACK"},       {9, "TAB"},         {13, "RETURN"},
    {16, "SHIFT"},      {17, "CONTROL"},    {18, "ALT"},       {19, "PAUSE"},      {27, "ESCAPE"},
    {32, "SPACE"},      {33, "PAGEUP"},     {34, "PAGEDOWN"},  {35, "END"},        {36, "HOME"},
    {37, "LEFT"},       {38, "UP"},         {39, "RIGHT"},     {40, "DOWN"},       {44, "PRINTSCREEN"},
    {45, "INSERT"},     {46, "DELETE"},     {47, "HELP"},      {48, "0"},          {49, "1"},
    {50, "2"},          {51, "3"},          {52, "4"},         {53, "5"},          {54, "6"},
    {55, "7"},          {56, "8"},          {57, "9"},         {65, "A"},          {66, "B"},
    {67, "C"},          {68, "D"},          {69, "E"},         {70, "F"},          {71, "G"},
    {72, "H"},          {73, "I"},          {74, "J"},         {75, "K"},          {76, "L"},
    {77, "M"},          {78, "N"},          {79, "O"},         {80, "P"},          {81, "Q"},
    {82, "R"},          {83, "S"},          {84, "T"},         {85, "U"},          {86, "V"},
    {87, "W"},          {88, "X"},          {89, "Y"},         {90, "Z"},          {96, "NUMPAD0"},
    {97, "NUMPAD1"},    {98, "NUMPAD2"},    {99, "NUMPAD3"},   {100, "NUMPAD4"},   {101, "NUMPAD5"},
    {102, "NUMPAD6"},   {103, "NUMPAD7"},   {104, "NUMPAD8"},  {105, "NUMPAD9"},   {106, "MULTIPLY"},
    {107, "ADD"},       {108, "SEPARATOR"}, {109, "SUBTRACT"}, {110, "DECIMAL"},   {111, "DIVIDE"},
    {112, "F1"},        {113, "F2"},        {114, "F3"},       {115, "F4"},        {116, "F5"},
    {117, "F6"},        {118, "F7"},        {119, "F8"},       {120, "F9"},        {121, "F10"},
    {122, "F11"},       {123, "F12"},       {124, "F13"},      {125, "F14"},       {126, "F15"},
    {127, "F16"},       {128, "F17"},       {129, "F18"},      {130, "F19"},       {131, "F20"},
    {132, "F21"},       {133, "F22"},       {134, "F23"},      {135, "F24"},       {144, "NUMLOCK"},
    {145, "SCROLLLOCK"}, {160, "LSHIFT"},   {161, "RSHIFT"},   {162, "LCONTROL"},  {163, "RCONTROL"},
    {164, "LALT"},      {165, "RALT"},      {186, "SEMICOLON"}, {187, "PLUS"},     {188, "COMMA"},
    {189, "MINUS"},     {190, "PERIOD"},    {191, "SLASH"},    {192, "BACKQUOTE"}, {219, "LBRACKET"},
    {220, "BACKSLASH"}, {221, "RBRACKET"},  {222, "QUOTE"},    {226, "OEM102"},
}};

std::array<uint8_t, kKeyTableSize> builtin_key_table() {
  std::array<uint8_t, kKeyTableSize> t{};
  t.fill(kNoKey);
  for (size_t k = 0; k < kKeyNames.size(); ++k) t[k] = kKeyNames[k].vk;
  return t;
}

}  // namespace nv
