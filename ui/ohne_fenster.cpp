// For a build without a window: the command line alone.
#include "ui/fenster.h"

namespace cdb2xls {

std::optional<int> fensterZeigen(int&, char**, Dateien&) { return std::nullopt; }

}  // namespace cdb2xls
