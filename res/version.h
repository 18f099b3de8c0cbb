/* The program's version record, shared by the Windows resource script and
   the command line's --version and --help. UTF-8. */
#ifndef CDB2XLS_VERSION_H
#define CDB2XLS_VERSION_H

#define CDB2XLS_VERSION "2.03"
#define CDB2XLS_VERSION_ZAHLEN 2, 3, 0, 0
#define CDB2XLS_BESCHREIBUNG "Exporteur für Tromil-CDDBs zu Excel"
#define CDB2XLS_PARAMETER "Parameter:   [Eingabe-.cdb-Datei] [Ausgabe-Datei]"
#define CDB2XLS_PRODUKT "QUORBs Tromil CDDB-Exporteur"

#endif
