// What the window module offers the program that loads it. The module holds
// no conversion of its own: a drop is handed back to the program's run, so
// there is one core per process.
#pragma once

#include "convert/ausgang.h"
#include "ui/fenster.h"

#define CDB2XLS_EXPORT __attribute__((visibility("default")))

// What cdb2xls_fenster_zeigen returns when no display can be used.
#define CDB2XLS_KEINE_ANZEIGE (-1)

extern "C" {
// Shows the drop window until a run has ended or the window was closed; the
// program's exit status, or CDB2XLS_KEINE_ANZEIGE.
CDB2XLS_EXPORT int cdb2xls_fenster_zeigen(int* argc, char** argv, const cdb2xls::Umwandlung* umwandlung);
using Cdb2xlsFensterZeigen = int (*)(int*, char**, const cdb2xls::Umwandlung*);

// Shows a notice as a message box and waits for OK; false when no display
// can be used.
CDB2XLS_EXPORT bool cdb2xls_hinweis_zeigen(int* argc, char** argv, const cdb2xls::Hinweis* hinweis);
using Cdb2xlsHinweisZeigen = bool (*)(int*, char**, const cdb2xls::Hinweis*);
}
