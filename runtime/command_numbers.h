// Command numbers the runtime core refers to (indexes of the handler tables).
#pragma once

namespace nv::cmdno {

enum : int {
  CDDA = 0, DEBUGLIST = 9, ELSE = 11, ERROR = 13, ERRORINFO = 14, GO = 28, GOSUB = 29, IF = 30,
  LABEL = 37, LOOP = 41, MIDIEND = 52, MIDIINFO = 53, PLUG = 58, PREP = 59, RETURNBREAK = 62,
  S_FLT = 64, S_INT = 65, S_STR = 66, SAVEINFO = 70, VAR = 82,
};

}  // namespace nv::cmdno
