// Data file names of SAVE and LOAD: the script's FILE text becomes the name
// of a file in the save folder.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace nv::save {

// Checks `text` and returns in `name` the file name to use: "/" outside
// double-byte characters counts as "\"; the text as given may have at most
// 32 bytes (kErrNameTooLong) and no "\" (kErrNameSeparator; the trail byte
// 0x5C of a double-byte character is not one); ".sd" is appended unless the
// text ends with it in any case. Returns kOk or the error number.
uint32_t data_file_name(std::string_view text, std::string& name);

}  // namespace nv::save
