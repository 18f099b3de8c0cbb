// What the window module offers the program that loads it.
#pragma once

#include "convert/ausgang.h"
#include "convert/dateien.h"

#define CDB2XLS_MODUL_NAME "cdb2xls-fenster.so"
#define CDB2XLS_EXPORT __attribute__((visibility("default")))

extern "C" {
// Shows the drop window until a run has ended or the window was closed; the
// program's exit status.
CDB2XLS_EXPORT int cdb2xls_fenster_zeigen(int* argc, char** argv, cdb2xls::Dateien* dateien);
using Cdb2xlsFensterZeigen = int (*)(int*, char**, cdb2xls::Dateien*);

// Shows a notice as a message box and waits for OK.
CDB2XLS_EXPORT void cdb2xls_hinweis_zeigen(int* argc, char** argv, const cdb2xls::Hinweis* hinweis);
using Cdb2xlsHinweisZeigen = void (*)(int*, char**, const cdb2xls::Hinweis*);
}
