#!/usr/bin/python3
"""End-to-end for --xlsx with two real readers: LibreOffice Calc, headless,
opens each workbook with no import filter named (it must recognise the file
by itself) and saves it as CSV, and openpyxl reads it. Both must report the
grid of the .xls table the program writes for the same input: a row per CR,
a cell per TAB, Windows-1252 decoded, every cell text. Also the format's
limits with their warnings, the notice for too many rows, and that no
temporary file is left behind, also after a run ended by SIGTERM.

Usage: xlsx.py PROGRAMM SOFFICE CDB_ERZEUGEN FIXTURES-ORDNER"""

import codecs
import csv
import glob
import os
import signal
import subprocess
import sys
import tempfile
import time

import openpyxl
from openpyxl.utils.escape import unescape

from pruefung import ergebnis, pruefe

# The five bytes Windows-1252 leaves open stand for the control characters
# of the same number, as Windows decodes them.
codecs.register_error("offen", lambda e: (chr(e.object[e.start]), e.start + 1))

ZEICHEN = 32767
SPALTEN = 16384


def ohne_leeres_ende(gitter):
    """Rows without empty cells at their end, the grid without empty rows at its end."""
    gitter = [list(r) for r in gitter]
    for reihe in gitter:
        while reihe and reihe[-1] == "":
            reihe.pop()
    while gitter and not gitter[-1]:
        gitter.pop()
    return gitter


def gitter_der_tabelle(pfad):
    """The grid of a .xls table, cut to what a workbook holds."""
    with open(pfad, "rb") as datei:
        text = datei.read().decode("cp1252", errors="offen")
    reihen = text.split("\r")
    if reihen[-1] == "":
        reihen.pop()
    return ohne_leeres_ende([[z[:ZEICHEN] for z in r.split("\t")[:SPALTEN]] for r in reihen])


def gitter_von_openpyxl(pfad):
    blatt = openpyxl.load_workbook(pfad, read_only=True).active
    gitter, arten = [], set()
    for reihe in blatt.iter_rows():
        zellen = []
        for zelle in reihe:
            if zelle.value is None:
                zellen.append("")
                continue
            arten.add(zelle.data_type)
            zellen.append(unescape(zelle.value))
        gitter.append(zellen)
    return ohne_leeres_ende(gitter), arten


def gitter_von_calc(pfad):
    with open(pfad, encoding="utf-8", newline="") as datei:
        return ohne_leeres_ende(csv.reader(datei, delimiter="\t"))


def unterschied(a, b):
    for i, (x, y) in enumerate(zip(a, b), 1):
        if x != y:
            return f"\n  erste abweichende Zeile {i}:\n  gelesen:  {x[:12]!r}\n  erwartet: {y[:12]!r}"
    return f"\n  Zeilen: gelesen {len(a)}, erwartet {len(b)}"


def sonderfaelle(ordner):
    """Inputs a workbook must get right: code page, control bytes, numbers
    that must stay text, Excel's escapes, and the format's limits."""
    liste = [
        b"A=Die \xc4rzte", b"T=\x84Zugabe\x93", b"X=\x80\x81\x8d\x8f\x90\x9d\x9f\xa0\xff", b"C=0815", b"R=1:2",
        b"1:0,0,0,=SUMME(A1)", b"2:0,0,0,a\x00b\x1ac\x01d\x1f", b"3:0,0,0,erste\nzweite\n",
        b"4:0,0,0,_x0041_ und _x und _", b"5:0,0,0, Leerzeichen ", b"6:0,0,0,1e5", b"7:0,0,0,01.02.2026",
        b"8:0,0,0," + b"\x01" * 5000,
        b"$", b"$", b"a=nach der leeren Zeile", b"$",
    ]
    faelle = {"sonderzeichen": b"<LIST>\r\n" + b"\r\n".join(liste) + b"\r\n\r\n"}
    grenzen = [b"T=" + b"x" * 40000, b"16377:0,0,0,letzte Spalte", b"16378:0,0,0,zu weit",
               b"16500:0,0,0,noch weiter", b"$", b"A=" + b"\x00" * 6000, b"X=" + b"_x" * 20000, b"$"]
    faelle["grenzen"] = b"<LIST>\r\n" + b"\r\n".join(grenzen) + b"\r\n\r\n"
    pfade = {}
    for name, inhalt in faelle.items():
        pfade[name] = os.path.join(ordner, name + ".cdb")
        with open(pfade[name], "wb") as datei:
            datei.write(inhalt)
    return pfade


def main():
    programm, soffice, erzeugen, fixtures = sys.argv[1:5]
    with tempfile.TemporaryDirectory(prefix="cdb2xls-xlsx.") as ordner:
        zwischen = os.path.join(ordner, "tmp")
        os.mkdir(zwischen)
        umgebung = {**os.environ, "TMPDIR": zwischen, "LC_ALL": "C.UTF-8"}

        def lauf(*argumente):
            return subprocess.run([programm, *argumente], capture_output=True, env=umgebung)

        eingaben = sorted(glob.glob(os.path.join(fixtures, "*.cdb")))
        gross = os.path.join(ordner, "realistisch.cdb")
        with open(gross, "wb") as datei:
            subprocess.run([erzeugen, "5"], stdout=datei, check=True)
        besondere = sonderfaelle(ordner)
        eingaben += [gross, *besondere.values()]

        mappen, erwartet, warnungen = [], [], {}
        for i, eingabe in enumerate(eingaben):
            name = os.path.splitext(os.path.basename(eingabe))[0]
            ziel = os.path.join(ordner, f"{i:02d}_{name}")
            text = lauf(eingabe, ziel)
            mappe = lauf("--xlsx", eingabe, ziel)
            pruefe(text.returncode == 0 and mappe.returncode == 0, f"{name}: umgewandelt",
                   (text.stderr + mappe.stderr).decode())
            warnungen[name] = mappe.stderr.decode()
            mappen.append(ziel + ".xlsx")
            erwartet.append(gitter_der_tabelle(ziel + ".xls"))

        typ = subprocess.run(["file", "-b", mappen[0]], capture_output=True, text=True).stdout.strip()
        pruefe(typ == "Microsoft Excel 2007+", "file erkennt eine Excel-Arbeitsmappe", typ)

        # What a user sees: the item cut off, the columns left out, each said.
        w = warnungen["grenzen"]
        # Each says how many characters it kept: an escape "_x0000_" for a
        # NUL, "_x005F_" for the "_" of "_x", counts as its 7 to the library.
        pruefe("grenzen.xlsx: Zeile 1, Spalte 2: Eintrag nach 32767 Zeichen abgeschnitten" in w and
               "grenzen.xlsx: Zeile 2, Spalte 1: Eintrag nach 4681 Zeichen abgeschnitten" in w and
               "grenzen.xlsx: Zeile 2, Spalte 3: Eintrag nach 8191 Zeichen abgeschnitten" in w,
               "Warnung: lange Einträge mit Zeile, Spalte und dem, was blieb", w)
        pruefe("grenzen.xlsx: 2 Einträge jenseits von Spalte 16384 ausgelassen" in w,
               "Warnung: ausgelassene Spalten gezählt", w)
        pruefe(warnungen["sonderzeichen"] == "", "keine Warnung ohne Grund", warnungen["sonderzeichen"])

        for mappe, soll in zip(mappen, erwartet):
            gitter, arten = gitter_von_openpyxl(mappe)
            name = os.path.basename(mappe)
            if name.endswith("_grenzen.xlsx"):
                # A NUL counts as the 7 characters of its escape "_x0000_"
                # for the writing library, and so does the "_" of "_x": such
                # cells are cut earlier.
                soll = [list(r) for r in soll]
                soll[1][0] = "\x00" * (ZEICHEN // 7)
                soll[1][2] = "_x" * 4095 + "_"
            pruefe(gitter == soll, f"openpyxl: {name}: Gitter der .xls-Tabelle", unterschied(gitter, soll))
            pruefe(arten <= {"s"}, f"openpyxl: {name}: jede Zelle Text", str(arten))
            if name.endswith("_grenzen.xlsx"):
                erwartet[mappen.index(mappe)] = soll

        csv_ordner = os.path.join(ordner, "csv")
        subprocess.run(
            [soffice, "--headless", "--norestore", f"-env:UserInstallation=file://{ordner}/profil",
             "--convert-to", "csv:Text - txt - csv (StarCalc):9,34,76,1,,0,true", "--outdir", csv_ordner, *mappen],
            capture_output=True, timeout=600, env={**os.environ, "HOME": ordner})
        for mappe, soll in zip(mappen, erwartet):
            name = os.path.basename(mappe)
            csv_pfad = os.path.join(csv_ordner, name[:-len(".xlsx")] + ".csv")
            if not os.path.exists(csv_pfad):
                pruefe(False, f"Calc: {name}: geöffnet", "(keine CSV-Datei)")
                continue
            gitter = gitter_von_calc(csv_pfad)
            pruefe(gitter == soll, f"Calc: {name}: Gitter der .xls-Tabelle", unterschied(gitter, soll))

        # Rows: the format holds 1,048,576; one more is a notice, and an
        # earlier workbook stays as it was.
        for zeilen, status in ((1048576, 0), (1048577, 1)):
            eingabe = os.path.join(ordner, f"zeilen{zeilen}.cdb")
            with open(eingabe, "wb") as datei:
                datei.write(b"<LIST>\r\n" + b"$\r\n" * (zeilen - 1) + b"A=letzte\r\n$\r\n\r\n")
            ziel = os.path.join(ordner, f"zeilen{zeilen}")
            with open(ziel + ".xlsx", "wb") as datei:
                datei.write(b"vorher")
            antwort = lauf("--xlsx", eingabe, ziel)
            meldung = antwort.stderr.decode()
            if status == 0:
                blatt = openpyxl.load_workbook(ziel + ".xlsx", read_only=True).active
                pruefe(antwort.returncode == 0 and blatt.max_row == zeilen, f"{zeilen} Zeilen passen",
                       f"{antwort.returncode} {blatt.max_row} {meldung}")
            else:
                with open(ziel + ".xlsx", "rb") as datei:
                    vorher = datei.read()
                pruefe(antwort.returncode == 1 and meldung ==
                       f"cdb2xls: Ausgabe-Datei nicht schreibbar: {ziel}.xlsx: "
                       "zu viele Zeilen für eine .xlsx-Arbeitsmappe (höchstens 1048576)\n" and vorher == b"vorher",
                       f"{zeilen} Zeilen: Hinweis, frühere Datei unverändert", f"{antwort.returncode} {meldung}")

        # A run ended by SIGTERM while it works leaves nothing behind.
        riesig = os.path.join(ordner, "riesig.cdb")
        with open(riesig, "wb") as datei:
            subprocess.run([erzeugen, "64"], stdout=datei, check=True)
        for warten in (0.3, 1.5):
            lauf_ = subprocess.Popen([programm, "--xlsx", riesig, os.path.join(ordner, "abgebrochen")],
                                     env=umgebung, stderr=subprocess.DEVNULL)
            time.sleep(warten)
            lauf_.send_signal(signal.SIGTERM)
            lauf_.wait()
            reste = [n for n in os.listdir(ordner) if n.startswith((".cdb2xls", "abgebrochen"))]
            pruefe(lauf_.returncode == -signal.SIGTERM and reste == [],
                   f"SIGTERM nach {warten} s: nichts bleibt neben dem Ziel", f"{lauf_.returncode} {reste}")
        pruefe(os.listdir(zwischen) == [], "nichts bleibt in $TMPDIR", str(os.listdir(zwischen)))

    return ergebnis()


if __name__ == "__main__":
    sys.exit(main())
