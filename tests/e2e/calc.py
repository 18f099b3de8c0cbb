#!/usr/bin/env python3
"""End-to-end with a real client: LibreOffice Calc, headless, opens the tables
cdb2xls writes (text import: TAB between fields, no text delimiter,
Windows-1252) and saves them as CSV; the cells it reports must be the cells
the table is meant to hold: one row per CD, the lettered fields A, T, X, C, R
in columns 1 to 5, track n in column n + 7, umlauts intact, no extra empty
rows or columns.

Usage: calc.py PROGRAMM SOFFICE CDB-DATEI...
The expected cells come from a reading of the cdb file of this script's own,
which knows well-formed records only (columns rising within a record)."""

import csv
import os
import subprocess
import sys
import tempfile

from pruefung import ergebnis, pruefe

def zeilen(text):
    """Lines ended by CR LF or a lone CR; a LF alone is part of a line."""
    return text.replace("\r\n", "\r").split("\r")


def erwartete_zellen(pfad):
    with open(pfad, "rb") as datei:
        text = datei.read().decode("cp1252")
    alle = zeilen(text)
    anfang = alle.index("<LIST>") + 1
    reihen, reihe = [], {}
    for zeile in alle[anfang:]:
        if zeile == "":
            break
        kopf = zeile[0].upper()
        if kopf.isdigit():
            nummer = int(zeile.split(":")[0])
            reihe[nummer + 7] = zeile.split(",", 3)[3]
        elif kopf in "ATXCR":
            reihe["ATXCR".index(kopf) + 1] = zeile[2:]
        elif kopf == "$":
            reihen.append([reihe.get(s, "") for s in range(1, max(reihe, default=0) + 1)])
            reihe = {}
    if reihe:
        reihen.append([reihe.get(s, "") for s in range(1, max(reihe) + 1)])
    return reihen


def ohne_leere_am_ende(reihe):
    while reihe and reihe[-1] == "":
        reihe = reihe[:-1]
    return reihe


def main():
    programm, soffice, eingaben = sys.argv[1], sys.argv[2], sys.argv[3:]
    with tempfile.TemporaryDirectory(prefix="cdb2xls-calc.") as ordner:
        tabellen = []
        for i, eingabe in enumerate(eingaben):
            ziel = os.path.join(ordner, f"tabelle{i}")
            antwort = subprocess.run([programm, eingabe, ziel], capture_output=True)
            pruefe(antwort.returncode == 0, f"{eingabe}: umgewandelt", antwort.stderr.decode())
            tabellen.append(ziel + ".xls")
        aus = os.path.join(ordner, "csv")
        subprocess.run(
            [soffice, "--headless", "--norestore", f"-env:UserInstallation=file://{ordner}/profil",
             "--infilter=Text - txt - csv (StarCalc):9,,1,1",
             "--convert-to", "csv:Text - txt - csv (StarCalc):44,34,76,1", "--outdir", aus, *tabellen],
            capture_output=True, timeout=300, env={**os.environ, "HOME": ordner})
        for i, eingabe in enumerate(eingaben):
            csv_pfad = os.path.join(aus, f"tabelle{i}.csv")
            if not os.path.exists(csv_pfad):
                pruefe(False, f"{eingabe}: Calc hat die Tabelle gelesen", "(keine CSV-Datei)")
                continue
            with open(csv_pfad, encoding="utf-8", newline="") as datei:
                gelesen = list(csv.reader(datei))
            erwartet = erwartete_zellen(eingabe)
            pruefe(len(gelesen) == len(erwartet), f"{eingabe}: eine Zeile je CD",
                   f"(Calc: {len(gelesen)}, erwartet: {len(erwartet)})")
            breite = max((len(r) for r in erwartet), default=0)
            pruefe(all(len(r) == breite for r in gelesen), f"{eingabe}: keine zusätzlichen Spalten",
                   f"(Breiten {sorted({len(r) for r in gelesen})}, erwartet {breite})")
            for nummer, (calc, soll) in enumerate(zip(gelesen, erwartet), 1):
                pruefe(ohne_leere_am_ende(calc) == ohne_leere_am_ende(soll), f"{eingabe}: Zellen der Zeile {nummer}",
                       f"\n  Calc:     {calc}\n  erwartet: {soll}")
    return ergebnis()


if __name__ == "__main__":
    sys.exit(main())
