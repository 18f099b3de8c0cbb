"""Checks for the Python end-to-end scripts, as lib.sh has them for the
shell ones: each check prints a line, ergebnis() the closing
"N passed, N failed" and the exit status."""

bestanden = 0
fehlgeschlagen = 0


def pruefe(ok, name, genauer=""):
    global bestanden, fehlgeschlagen
    if ok:
        bestanden += 1
        print(f"ok: {name}")
    else:
        fehlgeschlagen += 1
        print(f"FEHLER: {name} {genauer}")


def ergebnis():
    print(f"{bestanden} passed, {fehlgeschlagen} failed")
    return 0 if fehlgeschlagen == 0 else 1
