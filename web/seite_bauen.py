#!/usr/bin/python3
"""Builds the page cdb2xls.html, one file that needs nothing else: the
worker's script (the converter's WebAssembly, base64, before Emscripten's
glue and arbeiter.js) goes into the page, and the window's design (the
label's text, its font, the sizes in pixels at 96 dpi) and the program's
name come from the headers the programs are built from.

The page offers workbooks (.xlsx) where the converter was built with the
workbook writer (XLSX 1).

Usage: seite_bauen.py VORLAGE ENTWURF_H VERSION_H GLUE_JS WASM ARBEITER_JS AUSGABE XLSX"""

import base64
import html
import re
import sys


def konstanten(pfad):
    """NAME = value of the constants and #defines of a header."""
    with open(pfad, encoding="utf-8") as datei:
        text = datei.read()
    werte = {}
    for name, wert in re.findall(r"constexpr\s+(?:const\s+)?\w+\*?\s+(k\w+)\s*=\s*([^;]+);", text):
        werte[name] = wert.strip()
    for name, wert in re.findall(r"#define\s+(CDB2XLS_\w+)\s+(.+)", text):
        werte[name] = wert.strip()
    return werte


def text(wert):
    return wert.strip('"')


def main():
    vorlage, entwurf_h, version_h, glue, wasm, arbeiter, ausgabe, xlsx = sys.argv[1:9]
    entwurf = konstanten(entwurf_h)
    version = konstanten(version_h)
    twips = int(entwurf["kTwipsJeZoll"])

    def pixel(name):  # as entwurf::pixelAusTwips at 96 dpi
        return str((int(entwurf[name]) * 96 + twips // 2) // twips)

    with open(wasm, "rb") as datei:
        binaer = base64.b64encode(datei.read()).decode("ascii")
    with open(glue, encoding="utf-8") as datei:
        glue_text = datei.read()
    with open(arbeiter, encoding="utf-8") as datei:
        arbeiter_text = datei.read()
    quelle = ('var Module = { noInitialRun: true, wasmBinary: Uint8Array.from(atob("' + binaer +
              '"), (c) => c.charCodeAt(0)) };\n' + glue_text + "\n" + arbeiter_text)
    if "</script" in quelle.lower():
        sys.exit("seite_bauen.py: the worker's script holds </script and cannot go into the page")

    ersetzungen = {
        "TITEL": html.escape(text(version["CDB2XLS_PRODUKT"])),
        "LABELTEXT": html.escape(text(entwurf["kLabelText"])),
        "SCHRIFT": html.escape(text(entwurf["kSchriftart"])),
        "PUNKTE": str(int(entwurf["kSchriftZehntelPunkte"]) / 10),
        "FENSTER_BREITE": pixel("kFensterBreite"),
        "FENSTER_HOEHE": pixel("kFensterHoehe"),
        "LABEL_LINKS": pixel("kLabelLinks"),
        "LABEL_OBEN": pixel("kLabelOben"),
        "LABEL_BREITE": pixel("kLabelBreite"),
        "LABEL_HOEHE": pixel("kLabelHoehe"),
        "ARBEITER": quelle,
        "XLSX_WAHL": ('<label><input type="checkbox" id="xlsx"> als Excel-Arbeitsmappe (.xlsx)</label>'
                      if xlsx == "1" else ""),
    }
    with open(vorlage, encoding="utf-8") as datei:
        seite = datei.read()
    seite = re.sub(r"@([A-Z_]+)@", lambda m: ersetzungen[m.group(1)], seite)
    with open(ausgabe, "w", encoding="utf-8") as datei:
        datei.write(seite)


if __name__ == "__main__":
    main()
