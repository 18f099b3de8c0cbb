// The system's reason for an error number, in the user's language (the
// locale the program set at its start).
#pragma once

#include <cstring>
#include <string>

namespace cdb2xls {

inline std::string systemGrund(int fehler) { return std::strerror(fehler); }

}  // namespace cdb2xls
