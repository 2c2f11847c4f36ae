// The compiled expression format shared by the compiler's encoder and the
// engine's evaluator: a postfix token string; each token is an opcode byte,
// a little-endian uint16 payload length and the payload.
#pragma once

#include <cstdint>

namespace nv::expr {

enum Op : uint8_t {
  kPushInt8 = 'B',      // int8
  kPushInt16 = 'W',     // int16
  kPushInt32 = 'I',     // int32
  kPushInt64 = 'L',     // int64
  kPushFloat = 'F',     // IEEE double
  kPushString = 'M',    // delimiter, text, delimiter
  kScalar = 'H',        // prefix byte, uint16 variable number: element 0
  kElementOpen = 'V',   // prefix byte, uint16 variable number: opens an element reference
  kElementClose = ')',  // closes the innermost element reference, pushes the element
  kWholeVar = 'v',      // prefix byte, uint16 variable number: the whole variable
  kNegate = 'R',
  kToString = 's',
  kToInteger = 'i',
  kAdd = '+',
  kSub = '-',
  kMul = '*',
  kDiv = '/',
  kRem = '%',
  kEqual = '=',
  kNotEqual = '!',
  kGreater = '>',
  kLess = '<',
  kGreaterEqual = 'Z',
  kLessEqual = 'S',
  kBitAnd = 'A',
  kBitOr = 'O',
  kBitXor = '^',
  kLogicalAnd = '&',
  kLogicalOr = '|',
  kNoOp = ',',
};

constexpr int kTokenHeader = 3;  // opcode + uint16 payload length

// Evaluation modes: numbers in int64 or double, with or without a string result.
enum Mode : int { kModeInt = 1, kModeFloat = 2, kModeIntString = 3, kModeFloatString = 4 };

// Assignment operators of an argument record (byte 3).
enum AssignOp : uint8_t {
  kAssign = 0, kAssignAdd = 1, kAssignSub = 2, kAssignMul = 3, kAssignDiv = 4,
  kAssignRem = 5, kAssignAnd = 6, kAssignOr = 7, kAssignXor = 8,
};

}  // namespace nv::expr
