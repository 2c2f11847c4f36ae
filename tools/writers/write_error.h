// The error the writers throw for a model that cannot be written.
#pragma once

#include <stdexcept>

namespace nv::writers {

// A model that breaks a limit of the file format (a name too long, a count
// or number out of range, a duplicate). The message is for people (UTF-8).
struct WriteError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

}  // namespace nv::writers
