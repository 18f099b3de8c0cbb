#include "xlsx/arbeitsmappe.h"

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

std::unique_ptr<Tabellenformat> arbeitsmappenFormatMit(Cdb2xlsArbeitsmappe neu, Warnung warnen) {
    return std::make_unique<Arbeitsmappenformat>(neu, std::move(warnen));
}

}  // namespace cdb2xls
