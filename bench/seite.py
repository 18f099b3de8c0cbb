#!/usr/bin/python3
"""The page beside the native program: converts a generated file of MIB MiB
once with cdb2xls and once in cdb2xls.html in headless Chromium (picked with
the file button, until the download is complete), and prints each one's
time and peak memory: the program's maximum resident set; the largest
memory of the renderers (the page and its worker) and of all the browser's
processes together (their proportional set sizes, sampled every 50 ms)
beside what they held before the run. Both tables must be the same.

Usage: bench/seite.py SEITE PROGRAMM CDB_ERZEUGEN [MIB...]   (default 50 1024)"""

import os
import subprocess
import sys
import tempfile
import threading
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "web"))
from seite import browser  # noqa: E402
from selenium.webdriver.common.by import By  # noqa: E402
from selenium.webdriver.support.ui import WebDriverWait  # noqa: E402


def nachfahren(pid):
    """The process and all below it."""
    kinder = {}
    for eintrag in os.listdir("/proc"):
        if eintrag.isdigit():
            try:
                with open(f"/proc/{eintrag}/stat") as datei:
                    eltern = int(datei.read().rsplit(")", 1)[1].split()[1])
                kinder.setdefault(eltern, []).append(int(eintrag))
            except OSError:
                pass
    alle, offen = [], [pid]
    while offen:
        p = offen.pop()
        alle.append(p)
        offen.extend(kinder.get(p, []))
    return alle


def speicher(pid, nur_renderer=False):
    """The memory of a process tree: its proportional set sizes added up, so
    that pages the processes share count once; with `nur_renderer`, of the
    renderers alone (where the page and its worker run, not the browser's
    own process, which keeps the Blobs)."""
    summe = 0
    for p in nachfahren(pid):
        try:
            if nur_renderer:
                with open(f"/proc/{p}/cmdline", "rb") as datei:
                    if b"--type=renderer" not in datei.read():
                        continue
            with open(f"/proc/{p}/smaps_rollup") as datei:
                for zeile in datei:
                    if zeile.startswith("Pss:"):
                        summe += int(zeile.split()[1]) * 1024
        except OSError:
            pass
    return summe


def main():
    seite, programm, erzeugen = (os.path.abspath(a) for a in sys.argv[1:4])
    groessen = [int(a) for a in sys.argv[4:]] or [50, 1024]
    with tempfile.TemporaryDirectory(prefix="cdb2xls-seite-bench.") as ordner:
        treiber = browser(ordner)
        treiber_pid = treiber.service.process.pid
        for mib in groessen:
            eingabe = os.path.join(ordner, f"liste{mib}.cdb")
            with open(eingabe, "wb") as datei:
                subprocess.run([erzeugen, str(mib)], stdout=datei, check=True)

            beginn = time.monotonic()
            lauf = subprocess.run(["/usr/bin/time", "-f", "%M", programm, eingabe, eingabe + ".nativ"],
                                  capture_output=True, text=True, check=True)
            nativ_zeit = time.monotonic() - beginn
            nativ_kib = int(lauf.stderr.strip().splitlines()[-1])

            ziel = os.path.join(ordner, f"download{mib}")
            os.mkdir(ziel)
            treiber.execute_cdp_cmd("Browser.setDownloadBehavior", {"behavior": "allow", "downloadPath": ziel})
            treiber.get("file://" + seite)
            WebDriverWait(treiber, 60).until(lambda t: t.execute_script("return document.body.dataset.zustand"))
            vorher = [speicher(treiber_pid), speicher(treiber_pid, True)]
            spitze = list(vorher)
            fertig = threading.Event()

            def messen():
                while not fertig.is_set():
                    spitze[0] = max(spitze[0], speicher(treiber_pid))
                    spitze[1] = max(spitze[1], speicher(treiber_pid, True))
                    time.sleep(0.05)

            messer = threading.Thread(target=messen)
            messer.start()
            beginn = time.monotonic()
            treiber.find_element(By.ID, "waehlen").send_keys(eingabe)
            name = os.path.basename(eingabe) + ".xls"
            WebDriverWait(treiber, 3600, poll_frequency=0.05).until(
                lambda _: os.path.exists(os.path.join(ziel, name)))
            seite_zeit = time.monotonic() - beginn
            fertig.set()
            messer.join()
            with open(os.path.join(ziel, name), "rb") as a, open(eingabe + ".nativ.xls", "rb") as b:
                gleich = a.read() == b.read()
            print(f"{mib} MiB: cdb2xls {nativ_zeit:.2f} s, {nativ_kib / 1024:.1f} MiB; "
                  f"Seite {seite_zeit:.2f} s; Renderer {vorher[1] / 2**20:.0f} MiB vorher, höchstens "
                  f"{spitze[1] / 2**20:.0f} MiB; Browser ganz {vorher[0] / 2**20:.0f} MiB vorher, höchstens "
                  f"{spitze[0] / 2**20:.0f} MiB; "
                  f"Tabellen {'gleich' if gleich else 'VERSCHIEDEN'}")
            for pfad in (eingabe, eingabe + ".nativ.xls", os.path.join(ziel, name)):
                os.remove(pfad)
        treiber.quit()


if __name__ == "__main__":
    main()
