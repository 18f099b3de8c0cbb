#!/usr/bin/python3
"""End-to-end for the page cdb2xls.html in a real browser (Debian's
Chromium, headless, through chromedriver): opened from disk, it converts
each fixture and a generated 50 MiB file, dropped onto the label (a drop
event with a DataTransfer) and picked with the file button, into a download
named as the program names its table and byte for byte the table the native
program writes; with "als Excel-Arbeitsmappe" every part of the workbook
the program writes with --xlsx, and its warnings. Several dropped files:
the first. A file without a <LIST> line: the program's warning. A file that cannot be read any more: the
program's notice. A long run shows its progress and can be cancelled. The
page makes no network request. With a third argument, a screenshot of the
page is saved there.

Usage: seite.py SEITE PROGRAMM FIXTURES-ORDNER CDB_ERZEUGEN [BILD]"""

import glob
import io
import json
import os
import shutil
import subprocess
import sys
import tempfile
import time
import zipfile

from selenium import webdriver
from selenium.webdriver.chrome.options import Options
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.by import By
from selenium.webdriver.support.ui import WebDriverWait

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "e2e"))
from pruefung import ergebnis, pruefe  # noqa: E402

# A guard against a page that hangs, not a measure of speed.
FRIST = 300

TESTEINGABE = """
const eingabe = document.createElement("input");
eingabe.type = "file";
eingabe.multiple = true;
eingabe.id = "testeingabe";
eingabe.style.opacity = "0";
document.body.append(eingabe);
"""

ABLEGEN = """
const dateien = document.getElementById("testeingabe").files;
const uebergabe = new DataTransfer();
for (const datei of dateien) uebergabe.items.add(datei);
const label = document.getElementById("label1");
for (const art of ["dragenter", "dragover", "drop"]) {
    label.dispatchEvent(new DragEvent(art, { dataTransfer: uebergabe, bubbles: true, cancelable: true }));
}
"""


def browser(downloads):
    optionen = Options()
    optionen.binary_location = "/usr/bin/chromium"
    for argument in ("--headless=new", "--no-sandbox", "--disable-dev-shm-usage", "--window-size=900,700"):
        optionen.add_argument(argument)
    optionen.add_experimental_option("prefs", {"download.default_directory": downloads,
                                               "download.prompt_for_download": False})
    optionen.set_capability("goog:loggingPrefs", {"performance": "ALL", "browser": "ALL"})
    return webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=optionen)


def main():
    seite, programm, fixtures, erzeugen = (os.path.abspath(a) for a in sys.argv[1:5])
    bild = sys.argv[5] if len(sys.argv) > 5 else None
    with tempfile.TemporaryDirectory(prefix="cdb2xls-seite.") as ordner:
        dateien = os.path.join(ordner, "dateien")
        os.mkdir(dateien)
        eingaben = sorted(glob.glob(os.path.join(fixtures, "*.cdb")))
        gross = os.path.join(dateien, "gross.cdb")
        with open(gross, "wb") as datei:
            subprocess.run([erzeugen, "50"], stdout=datei, check=True)
        eingaben.append(gross)

        def nativ(eingabe, *optionen):
            """The table (or with --xlsx the workbook) the native program
            writes for `eingabe`, and its stderr."""
            kopie = os.path.join(ordner, "nativ", os.path.basename(eingabe))
            os.makedirs(os.path.dirname(kopie), exist_ok=True)
            shutil.copy(eingabe, kopie)
            lauf = subprocess.run([programm, *optionen, os.path.basename(kopie)], cwd=os.path.dirname(kopie),
                                  capture_output=True)
            with open(kopie + (".xlsx" if optionen else ".xls"), "rb") as datei:
                return datei.read(), lauf.stderr.decode().strip()

        runde = [0]
        treiber = browser(ordner)

        def neuer_download():
            """A folder of its own for the next download, so its name is the page's."""
            runde[0] += 1
            ziel = os.path.join(ordner, f"download{runde[0]}")
            os.mkdir(ziel)
            treiber.execute_cdp_cmd("Browser.setDownloadBehavior", {"behavior": "allow", "downloadPath": ziel})
            return ziel

        def laden():
            treiber.get("file://" + seite)
            treiber.execute_script(TESTEINGABE)
            WebDriverWait(treiber, FRIST).until(
                lambda t: t.execute_script("return document.body.dataset.zustand") == "bereit")

        def warten_auf_ende():
            WebDriverWait(treiber, FRIST).until(
                lambda t: t.execute_script("return document.body.dataset.zustand") == "bereit" and
                t.execute_script("return document.body.dataset.status") is not None)
            return treiber.execute_script("return document.body.dataset.status")

        def download(ziel):
            """The downloaded file's name and bytes, once complete."""
            def fertig(_):
                namen = os.listdir(ziel)
                return namen if namen and not any(n.endswith(".crdownload") for n in namen) else False
            namen = WebDriverWait(treiber, FRIST).until(fertig)
            with open(os.path.join(ziel, namen[0]), "rb") as datei:
                return namen, datei.read()

        def umwandeln(pfade, weg, xlsx=False):
            """Hands the files to the page (`weg`: "ablegen" or "waehlen"),
            with `xlsx` for a workbook; status and download folder."""
            laden()
            ziel = neuer_download()
            if xlsx:
                treiber.find_element(By.ID, "xlsx").click()
            if weg == "ablegen":
                treiber.find_element(By.ID, "testeingabe").send_keys("\n".join(pfade))
                treiber.execute_script(ABLEGEN)
            else:
                treiber.find_element(By.ID, "waehlen").send_keys(pfade[0])
            return warten_auf_ende(), ziel

        for eingabe in eingaben:
            name = os.path.basename(eingabe)
            soll, warnung = nativ(eingabe)
            for weg in ("ablegen", "waehlen"):
                status, ziel = umwandeln([eingabe], weg)
                namen, haben = download(ziel)
                pruefe(status == "0" and namen == [name + ".xls"] and haben == soll,
                       f"{name} ({weg}): Download {name}.xls wie vom Programm",
                       f"Status {status}, {namen}, {len(haben)} statt {len(soll)} Bytes")
                if weg == "ablegen":
                    meldung = treiber.find_element(By.ID, "meldung").text
                    pruefe(meldung == warnung, f"{name}: Meldung wie vom Programm", f"«{meldung}» statt «{warnung}»")

        # Workbooks, where the page has the writer: every part as the program
        # writes it (but the time it was made, in docProps/core.xml), and the
        # same warnings.
        laden()
        if treiber.find_elements(By.ID, "xlsx"):
            grenzen = os.path.join(dateien, "grenzen.cdb")
            with open(grenzen, "wb") as datei:
                datei.write(b"<LIST>\r\n" + b"\r\n".join([
                    b"T=" + b"x" * 40000, b"16378:0,0,0,zu weit", b"1:0,0,0,=SUMME(A1)", b"$",
                    b"A=" + b"\x00" * 6000, b"X=" + b"_x" * 20000, b"C=\x84Zugabe\x93\x01", b"$"]) + b"\r\n\r\n")
            realistisch = os.path.join(dateien, "realistisch.cdb")
            with open(realistisch, "wb") as datei:
                subprocess.run([erzeugen, "5"], stdout=datei, check=True)
            for eingabe in sorted(glob.glob(os.path.join(fixtures, "*.cdb"))) + [grenzen, realistisch]:
                name = os.path.basename(eingabe)
                soll, warnung = nativ(eingabe, "--xlsx")
                status, ziel = umwandeln([eingabe], "ablegen", xlsx=True)
                namen, haben = download(ziel)
                teile = lambda daten: {n: z.read(n) for z in [zipfile.ZipFile(io.BytesIO(daten))]
                                       for n in z.namelist() if n != "docProps/core.xml"}
                gleich = namen == [name + ".xlsx"] and teile(haben) == teile(soll)
                meldung = treiber.find_element(By.ID, "meldung").text
                pruefe(status == "0" and gleich and meldung == warnung,
                       f"{name}: Arbeitsmappe wie vom Programm, mit seinen Warnungen",
                       f"Status {status}, {namen}, gleich {gleich}, «{meldung}» statt «{warnung}»")
        else:
            print("übersprungen: Arbeitsmappen in der Seite (ohne zlib und libxlsxwriter gebaut)")

        # Several files dropped at once: the first is converted.
        status, ziel = umwandeln([os.path.join(fixtures, "beispiel.cdb"), os.path.join(fixtures, "achtbit.cdb")],
                                 "ablegen")
        namen, haben = download(ziel)
        pruefe(status == "0" and namen == ["beispiel.cdb.xls"] and haben == nativ(os.path.join(fixtures, "beispiel.cdb"))[0],
               "zwei Dateien abgelegt: die erste", str(namen))

        # A file that cannot be read any more (changed on disk after it was
        # picked, which the browser refuses to read): the program's notice in
        # the page's box.
        weg = os.path.join(dateien, "weg.cdb")
        shutil.copy(os.path.join(fixtures, "beispiel.cdb"), weg)
        laden()
        ziel = neuer_download()
        treiber.find_element(By.ID, "testeingabe").send_keys(weg)
        time.sleep(1.1)  # a modification time the browser can tell apart
        with open(weg, "ab") as datei:
            datei.write(b"A=danach\r\n")
        treiber.execute_script(ABLEGEN)
        status = warten_auf_ende()
        titel = treiber.find_element(By.ID, "hinweisTitel").text
        text = treiber.find_element(By.ID, "hinweisText").get_attribute("textContent")
        offen = treiber.execute_script("return document.getElementById('hinweis').open")
        pruefe(status == "1" and offen and titel == "Häää?" and text.startswith("cdb-Datei nicht lesbar:\n\nweg.cdb\n\n")
               and os.listdir(ziel) == [], "nicht lesbare Datei: Hinweis, kein Download", f"{status} {titel} {text!r}")

        # A long run shows its progress, and the cancel button ends it.
        riesig = os.path.join(dateien, "riesig.cdb")
        with open(riesig, "wb") as datei:
            subprocess.run([erzeugen, "400"], stdout=datei, check=True)
        laden()
        ziel = neuer_download()
        treiber.find_element(By.ID, "waehlen").send_keys(riesig)
        abbrechen = treiber.find_element(By.ID, "abbrechen")
        WebDriverWait(treiber, FRIST).until(lambda t: abbrechen.is_displayed() or
                                            t.execute_script("return document.body.dataset.status") is not None)
        sichtbar = treiber.find_element(By.ID, "fortschritt").is_displayed()
        abbrechen.click()
        status = warten_auf_ende()
        pruefe(sichtbar and status == "abgebrochen" and os.listdir(ziel) == [],
               "langer Lauf: Fortschritt, abgebrochen, kein Download", f"{sichtbar} {status} {os.listdir(ziel)}")
        os.remove(riesig)

        # Nothing went over the network: every request was for the page
        # itself (file:) or for what it made (blob:, data:).
        anfragen = []
        for eintrag in treiber.get_log("performance"):
            nachricht = json.loads(eintrag["message"])["message"]
            if nachricht["method"] == "Network.requestWillBeSent":
                anfragen.append(nachricht["params"]["request"]["url"])
        fremd = [a for a in anfragen if not a.startswith(("file:", "blob:", "data:"))]
        pruefe(anfragen and fremd == [], "keine Anfrage ins Netz", f"{len(anfragen)} Anfragen, fremd: {fremd[:3]}")

        if bild:
            laden()
            treiber.set_window_size(520, 480)
            treiber.save_screenshot(bild)
        treiber.quit()
    return ergebnis()


if __name__ == "__main__":
    sys.exit(main())
