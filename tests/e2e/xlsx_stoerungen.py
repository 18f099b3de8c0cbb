#!/usr/bin/python3
"""End-to-end for --xlsx when the system works against it: a file-size limit
that cuts the library's temporary files (while the rows are written, and
only while the workbook is packed), a $TMPDIR that is full, missing, a file
or not writable, another process that takes the names of temporary folders,
and runs killed by SIGKILL at any moment. Each time the run either writes a
whole workbook or fails with a notice, exit status 1, and leaves an earlier
workbook as it was and nothing in $TMPDIR.

Usage: xlsx_stoerungen.py PROGRAMM CDB_ERZEUGEN"""

import ctypes
import os
import resource
import shutil
import signal
import struct
import subprocess
import sys
import tempfile
import threading
import time
import zipfile

import openpyxl

from pruefung import ergebnis, pruefe

VORHER = b"eine fruehere Arbeitsmappe"
BLATT = "xl/worksheets/sheet1.xml"


def ist_root():
    return os.geteuid() == 0


def lesbar(pfad):
    """openpyxl reads the whole workbook; the number of rows, or the error."""
    try:
        return openpyxl.load_workbook(pfad, read_only=True).active.max_row
    except Exception as fehler:  # a cut workbook fails in many ways
        return f"unlesbar: {fehler!r}"


def zeilen_bytes(mappe):
    """How many bytes the rows take in the worksheet of a workbook."""
    xml = zipfile.ZipFile(mappe).read(BLATT)
    return xml.index(b"</sheetData>") - xml.index(b"<sheetData>") - len(b"<sheetData>")


def liste(pfad, fuellung, cds):
    """A cdb file: one item of `fuellung` characters, then `cds` records."""
    zeilen = [b"A=" + b"x" * fuellung, b"$"]
    for i in range(cds):
        zeilen += [b"A=CD %d" % i, b"T=Titel", b"1:0,0,0,Lied", b"$"]
    with open(pfad, "wb") as datei:
        datei.write(b"<LIST>\r\n" + b"\r\n".join(zeilen) + b"\r\n\r\n")


def main():
    programm, erzeugen = (os.path.abspath(a) for a in sys.argv[1:3])
    with tempfile.TemporaryDirectory(prefix="cdb2xls-xlsx-stoerungen.") as ordner:
        os.chmod(ordner, 0o755)
        zwischen = os.path.join(ordner, "tmp")
        os.mkdir(zwischen)
        os.chmod(zwischen, 0o1777)
        umgebung = {**os.environ, "TMPDIR": zwischen, "LC_ALL": "C"}

        def lauf(*argumente, grenze=None, env=None, vorher=None):
            """Runs the program; `grenze`: a file-size limit in bytes."""
            def begrenzen():
                if grenze is not None:
                    resource.setrlimit(resource.RLIMIT_FSIZE, (grenze, grenze))
            return subprocess.run([*(vorher or []), programm, *argumente], capture_output=True,
                                  env=env or umgebung, preexec_fn=begrenzen, cwd=ordner)

        def frueher(name):
            with open(os.path.join(ordner, name), "wb") as datei:
                datei.write(VORHER)

        def unveraendert(name):
            with open(os.path.join(ordner, name), "rb") as datei:
                return datei.read() == VORHER

        def tmpdir_leer(name):
            reste = os.listdir(zwischen)
            pruefe(reste == [], f"{name}: nichts bleibt in $TMPDIR", str(reste))
            for rest in reste:
                shutil.rmtree(os.path.join(zwischen, rest), ignore_errors=True)

        def abgelehnt(name, antwort, ziel, grund):
            meldung = antwort.stderr.decode()
            pruefe(antwort.returncode == 1 and
                   meldung.startswith(f"cdb2xls: Ausgabe-Datei nicht schreibbar: {ziel}: ") and grund in meldung,
                   f"{name}: Hinweis, Status 1", f"{antwort.returncode} {meldung!r}")
            pruefe(unveraendert(ziel), f"{name}: frühere Arbeitsmappe unverändert")

        gross = os.path.join(ordner, "gross.cdb")
        with open(gross, "wb") as datei:
            subprocess.run([erzeugen, "20"], stdout=datei, check=True)

        # A file-size limit cuts the rows' temporary file: the run fails.
        frueher("grenze.xlsx")
        antwort = lauf("--xlsx", "gross.cdb", "grenze", grenze=10 * 1024 * 1024)
        abgelehnt("Dateigrößen-Grenze beim Schreiben der Zeilen", antwort, "grenze.xlsx",
                  f"Ordner für Zwischendateien {zwischen} (TMPDIR): File too large")
        tmpdir_leer("Dateigrößen-Grenze")

        # A limit that the rows fit under but the packed worksheet does not:
        # the worksheet's own temporary file is cut while the library packs.
        mitte = os.path.join(ordner, "mitte.cdb")
        liste(mitte, 1, 20000)
        lauf("--xlsx", "mitte.cdb", "probe")
        fuellung = 1 + (1000 - zeilen_bytes(os.path.join(ordner, "probe.xlsx")) % 1024) % 1024
        liste(mitte, fuellung, 20000)
        lauf("--xlsx", "mitte.cdb", "probe")
        rohe = zeilen_bytes(os.path.join(ordner, "probe.xlsx"))
        ganz = len(zipfile.ZipFile(os.path.join(ordner, "probe.xlsx")).read(BLATT))
        grenze = -(-rohe // 1024) * 1024
        pruefe(rohe <= grenze < ganz, "Grenze zwischen Zeilen und ganzem Blatt", f"{rohe} {grenze} {ganz}")
        frueher("packen.xlsx")
        antwort = lauf("--xlsx", "mitte.cdb", "packen", grenze=grenze)
        abgelehnt("Dateigrößen-Grenze beim Packen", antwort, "packen.xlsx", f"{BLATT}")
        tmpdir_leer("Dateigrößen-Grenze beim Packen")
        antwort = lauf("--xlsx", "mitte.cdb", "packen", grenze=grenze + 4096)
        pruefe(antwort.returncode == 0 and lesbar(os.path.join(ordner, "packen.xlsx")) == 20001,
               "knapp über der Grenze: ganze Arbeitsmappe", antwort.stderr.decode())

        # $TMPDIR on a small file system that fills up (root: a tmpfs of its own).
        if ist_root() and shutil.which("unshare") and subprocess.run(["unshare", "-m", "true"]).returncode == 0:
            voll = os.path.join(ordner, "voll")
            os.mkdir(voll)
            frueher("voll.xlsx")
            antwort = lauf("--xlsx", "gross.cdb", "voll", env={**umgebung, "TMPDIR": voll},
                           vorher=["unshare", "-m", "sh", "-c",
                                   'mount -t tmpfs -o size=2m tmpfs "$0" && exec "$@"', voll])
            abgelehnt("$TMPDIR voll", antwort, "voll.xlsx", f"Ordner für Zwischendateien {voll} (TMPDIR): ")
        else:
            print("übersprungen: $TMPDIR voll (braucht root und unshare)")

        # A $TMPDIR that cannot serve is named, with the variable.
        with open(os.path.join(ordner, "eine_datei"), "wb"):
            pass
        for name, tmpdir, grund in (("fehlt", os.path.join(ordner, "fehlt"), "No such file or directory"),
                                    ("eine Datei", os.path.join(ordner, "eine_datei"), "Not a directory")):
            frueher("tmpdir.xlsx")
            antwort = lauf("--xlsx", "gross.cdb", "tmpdir", env={**umgebung, "TMPDIR": tmpdir})
            abgelehnt(f"$TMPDIR {name}", antwort, "tmpdir.xlsx",
                      f"Ordner für Zwischendateien {tmpdir} (TMPDIR): {grund}\n")
        if ist_root():
            gesperrt = os.path.join(ordner, "gesperrt")
            os.mkdir(gesperrt, 0o555)
            programm_kopie = os.path.join(ordner, "programm")
            os.mkdir(programm_kopie)
            for teil in ("cdb2xls", "cdb2xls-xlsx.so"):
                shutil.copy2(os.path.join(os.path.dirname(programm), teil), programm_kopie)
            benutzer = "cdb2xls-probe"
            subprocess.run(["sh", "-c", f"id {benutzer} >/dev/null 2>&1 || useradd --system --no-create-home {benutzer}"])
            arbeit = os.path.join(ordner, "arbeit")
            os.mkdir(arbeit)
            shutil.copy(gross, arbeit)
            shutil.chown(arbeit, benutzer)
            antwort = subprocess.run(["runuser", "-u", benutzer, "--", os.path.join(programm_kopie, "cdb2xls"), "--xlsx",
                                      "gross.cdb"], capture_output=True, cwd=arbeit,
                                     env={**umgebung, "TMPDIR": gesperrt})
            meldung = antwort.stderr.decode()
            pruefe(antwort.returncode == 1 and meldung == "cdb2xls: Ausgabe-Datei nicht schreibbar: gross.cdb.xlsx: "
                   f"Ordner für Zwischendateien {gesperrt} (TMPDIR): Permission denied\n" and
                   os.listdir(arbeit) == ["gross.cdb"], "$TMPDIR ohne Schreibrecht: Hinweis, nichts geschrieben",
                   f"{antwort.returncode} {meldung!r} {os.listdir(arbeit)}")
        else:
            print("übersprungen: $TMPDIR ohne Schreibrecht (braucht root für einen zweiten Benutzer)")

        # Another process takes the name of every folder that comes and goes
        # in $TMPDIR the moment it goes: a run must not depend on getting a
        # name again.
        lauf("--xlsx", "gross.cdb", "referenz")
        zeilen = lesbar(os.path.join(ordner, "referenz.xlsx"))
        libc = ctypes.CDLL(None, use_errno=True)
        beobachter = libc.inotify_init1(os.O_NONBLOCK)
        libc.inotify_add_watch(beobachter, zwischen.encode(), 0x200)  # IN_DELETE
        besetzt, ende = [], threading.Event()

        def besetzen():
            while not ende.is_set():
                try:
                    daten = os.read(beobachter, 65536)
                except BlockingIOError:
                    time.sleep(0.001)
                    continue
                stelle = 0
                while stelle < len(daten):
                    _, maske, _, laenge = struct.unpack_from("iIII", daten, stelle)
                    name = daten[stelle + 16:stelle + 16 + laenge].rstrip(b"\0").decode()
                    stelle += 16 + laenge
                    if maske & 0x40000000:  # IN_ISDIR: a folder went, its name is taken
                        try:
                            os.mkdir(os.path.join(zwischen, name), 0o700)
                            besetzt.append(name)
                        except FileExistsError:
                            pass

        faden = threading.Thread(target=besetzen)
        faden.start()
        antwort = lauf("--xlsx", "gross.cdb", "besetzt")
        ende.set()
        faden.join()
        os.close(beobachter)
        pruefe(antwort.returncode == 0 and lesbar(os.path.join(ordner, "besetzt.xlsx")) == zeilen,
               "Namen in $TMPDIR besetzt: ganze Arbeitsmappe", f"{antwort.returncode} {antwort.stderr.decode()!r}")
        for name in besetzt:
            os.rmdir(os.path.join(zwischen, name))
        tmpdir_leer("Namen besetzt")

        # SIGKILL while the rows are written and while the workbook is
        # packed: nothing is left in $TMPDIR nor beside the target, and the
        # earlier workbook is as it was.
        def offen_in_tmp(pid):
            """The files in $TMPDIR the process has open, as (path, size)."""
            offen = []
            for fd in os.listdir(f"/proc/{pid}/fd"):
                try:
                    ziel = os.readlink(f"/proc/{pid}/fd/{fd}")
                    if ziel.startswith(zwischen + "/"):
                        offen.append((ziel, os.stat(f"/proc/{pid}/fd/{fd}").st_size))
                except OSError:
                    pass
            return offen

        def packt(pid):
            """The library packs: it has opened the packed workbook (a second
            descriptor to a file in $TMPDIR, or a file of that name)."""
            ziele = [z for z, _ in offen_in_tmp(pid)]
            return len(ziele) != len(set(ziele)) or any(z.endswith(".xlsx") for z in ziele)

        def schreibt_zeilen(pid):
            """The rows' temporary file holds a few MiB, and nothing is packed yet."""
            return any(groesse > 2 * 1024 * 1024 for _, groesse in offen_in_tmp(pid)) and not packt(pid)

        for wann, soweit in (("beim Schreiben der Zeilen", schreibt_zeilen), ("beim Packen", packt)):
            frueher("getoetet.xlsx")
            prozess = subprocess.Popen([programm, "--xlsx", "gross.cdb", "getoetet"], env=umgebung, cwd=ordner,
                                       stderr=subprocess.DEVNULL)
            while prozess.poll() is None and not soweit(prozess.pid):
                time.sleep(0.001)
            prozess.send_signal(signal.SIGKILL)
            prozess.wait()
            neben = sorted(n for n in os.listdir(ordner) if n.startswith((".cdb2xls", "getoetet")))
            pruefe(prozess.returncode == -signal.SIGKILL and neben == ["getoetet.xlsx"] and unveraendert("getoetet.xlsx"),
                   f"SIGKILL {wann}: frühere Arbeitsmappe, nichts daneben", f"{prozess.returncode} {neben}")
            tmpdir_leer(f"SIGKILL {wann}")

    return ergebnis()


if __name__ == "__main__":
    sys.exit(main())
