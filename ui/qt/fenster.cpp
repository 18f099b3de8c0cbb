// The Qt side of the Linux start-up.
#include "ui/fenster.h"

#include "ui/qt/form1.h"

#include <QApplication>

#include <cstdlib>

namespace cdb2xls {
namespace {

// Qt ends the process when it cannot open its platform, so look first.
bool anzeigeVorhanden() {
    const auto gesetzt = [](const char* name) {
        const char* wert = std::getenv(name);
        return wert != nullptr && *wert != '\0';
    };
    return gesetzt("QT_QPA_PLATFORM") || gesetzt("DISPLAY") || gesetzt("WAYLAND_DISPLAY");
}

}  // namespace

std::optional<int> fensterZeigen(int& argc, char** argv, Dateien& dateien) {
    if (!anzeigeVorhanden()) return std::nullopt;
    QApplication anwendung(argc, argv);
    qt::Form1 form(dateien);
    QObject::connect(&form, &qt::Form1::laufBeendet, &anwendung,
                     [](int status) { QCoreApplication::exit(status); });
    form.show();
    return QApplication::exec();
}

bool hinweisImFensterZeigen(int& argc, char** argv, const Hinweis& hinweis) {
    if (!anzeigeVorhanden()) return false;
    QApplication anwendung(argc, argv);
    qt::hinweisZeigen(hinweis, nullptr);
    return true;
}

}  // namespace cdb2xls
