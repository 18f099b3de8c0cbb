// For a build without a window: the command line alone.
#include "ui/fenster.h"

namespace cdb2xls {

std::optional<int> fensterZeigen(int&, char**, const Umwandlung&) { return std::nullopt; }

bool hinweisImFensterZeigen(int&, char**, const Hinweis&) { return false; }

}  // namespace cdb2xls
