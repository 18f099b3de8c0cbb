// The window as a module of its own, loaded only when the program needs a
// window, so that a run from the command line does not load Qt.
#include "ui/qt/modul.h"

#include "ui/qt/anzeige.h"
#include "ui/qt/form1.h"

#include <QApplication>

extern "C" int cdb2xls_fenster_zeigen(int* argc, char** argv, const cdb2xls::Umwandlung* umwandlung) {
    if (!cdb2xls::qt::anzeigeWaehlen()) return CDB2XLS_KEINE_ANZEIGE;
    QApplication anwendung(*argc, argv);
    cdb2xls::qt::Form1 form(*umwandlung);
    QObject::connect(&form, &cdb2xls::qt::Form1::laufBeendet, &anwendung,
                     [](int status) { QCoreApplication::exit(status); });
    form.show();
    return QApplication::exec();
}

extern "C" bool cdb2xls_hinweis_zeigen(int* argc, char** argv, const cdb2xls::Hinweis* hinweis) {
    if (!cdb2xls::qt::anzeigeWaehlen()) return false;
    QApplication anwendung(*argc, argv);
    cdb2xls::qt::hinweisZeigen(*hinweis, nullptr);
    return true;
}
