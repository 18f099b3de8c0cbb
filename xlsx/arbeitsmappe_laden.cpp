// The program's side of the workbook: the format, whose outputs come from
// the workbook module, loaded when a run asks for a workbook.
#include "xlsx/arbeitsmappe.h"

#include "system/module_namen.h"
#include "system/module_posix.h"

#include <utility>

namespace cdb2xls {
namespace {

class Arbeitsmappenformat final : public Tabellenformat {
public:
    Arbeitsmappenformat(Cdb2xlsArbeitsmappe neu, Warnung warnen) : neu_(neu), warnen_(std::move(warnen)) {}
    std::string endung() const override { return ".xlsx"; }
    std::unique_ptr<Ausgabe> ausgabe(std::unique_ptr<Ausgabe> datei, const std::string& pfad) override {
        return std::unique_ptr<Ausgabe>(neu_(datei.release(), &pfad, &warnen_));
    }

private:
    Cdb2xlsArbeitsmappe neu_;
    Warnung warnen_;
};

}  // namespace

std::unique_ptr<Tabellenformat> arbeitsmappenFormat(Warnung warnen, std::string& grund) {
    const Modulfunktion gefunden = modulFunktion(CDB2XLS_XLSX_MODUL, "cdb2xls_arbeitsmappe");
    const auto neu = reinterpret_cast<Cdb2xlsArbeitsmappe>(gefunden.funktion);
    if (neu == nullptr) {
        grund = gefunden.grund;
        return nullptr;
    }
    return std::make_unique<Arbeitsmappenformat>(neu, std::move(warnen));
}

}  // namespace cdb2xls
