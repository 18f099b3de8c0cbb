// The page's worker: runs the converter on the file the page hands over.
// The file is read in slices as the run asks for them, so memory stays flat
// whatever its size; the table comes back piece by piece and goes to the
// page as one Blob (its pieces are Blobs too, which the browser may keep out
// of the page's memory). Emscripten's glue, loaded before this script, has
// the converter (Module) and its memory (HEAPU8).
"use strict";

var cdb2xlsArbeiter = (function () {
    const leser = new FileReaderSync();
    let datei = null;
    let teile = [];
    let name = null;
    let gemeldet = 0;

    return {
        lesegrund: "",

        // Up to `max` bytes from `stelle` on into the converter's memory at
        // `ziel`: how many, or -1 when the file cannot be read.
        lies(stelle, ziel, max) {
            let daten;
            try {
                daten = new Uint8Array(leser.readAsArrayBuffer(datei.slice(stelle, stelle + max)));
            } catch (fehler) {
                this.lesegrund = fehler && fehler.message ? fehler.message : String(fehler);
                return -1;
            }
            HEAPU8.set(daten, ziel);
            const bis = stelle + daten.length;
            if (bis - gemeldet >= 4 * 1024 * 1024 || bis === datei.size) {
                gemeldet = bis;
                postMessage({ art: "fortschritt", gelesen: bis, groesse: datei.size });
            }
            return daten.length;
        },
        schreibe(stueck) { teile.push(new Blob([stueck])); },
        fertig(ziel) { name = ziel; },
        hinweis(titel, text, zeile) { postMessage({ art: "hinweis", titel, text, zeile }); },
        warnung(zeile) { postMessage({ art: "warnung", zeile }); },

        umwandeln(eingabe, xlsx) {
            datei = eingabe;
            teile = [];
            name = null;
            gemeldet = 0;
            const status = Module.ccall("cdb2xls_umwandeln", "number", ["string", "number"], [eingabe.name, xlsx ? 1 : 0]);
            const art = xlsx ? "application/vnd.openxmlformats-officedocument.spreadsheetml.sheet" : "application/vnd.ms-excel";
            const tabelle = status === 0 && name !== null ? new Blob(teile, { type: art }) : null;
            teile = [];
            postMessage({ art: "fertig", status, name, tabelle });
        },
    };
})();

// The page's file arrives, perhaps before the converter is ready.
let cdb2xlsBereit = false;
let cdb2xlsWartend = null;
Module.onRuntimeInitialized = () => {
    cdb2xlsBereit = true;
    if (cdb2xlsWartend) cdb2xlsArbeiter.umwandeln(cdb2xlsWartend.datei, cdb2xlsWartend.xlsx);
};
onmessage = (ereignis) => {
    if (cdb2xlsBereit) cdb2xlsArbeiter.umwandeln(ereignis.data.datei, ereignis.data.xlsx);
    else cdb2xlsWartend = ereignis.data;
};
