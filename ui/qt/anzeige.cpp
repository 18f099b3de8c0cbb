#include "ui/qt/anzeige.h"

#include <QByteArray>
#include <QDir>
#include <QLibraryInfo>
#include <QList>
#include <QStringList>
#include <QtGlobal>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <cstring>

namespace cdb2xls::qt {
namespace {

// The X server answers and lets us in (xcb does the authorisation, as Qt's
// own xcb platform would).
bool xAntwortet(const QByteArray& anzeige) {
    xcb_connection_t* verbindung = xcb_connect(anzeige.isEmpty() ? nullptr : anzeige.constData(), nullptr);
    const bool offen = xcb_connection_has_error(verbindung) == 0;
    xcb_disconnect(verbindung);
    return offen;
}

// The Wayland compositor's socket takes a connection.
bool waylandAntwortet() {
    QByteArray pfad = qgetenv("WAYLAND_DISPLAY");
    if (pfad.isEmpty()) pfad = "wayland-0";
    if (!pfad.startsWith('/')) {
        const QByteArray laufzeit = qgetenv("XDG_RUNTIME_DIR");
        if (laufzeit.isEmpty()) return false;
        pfad = laufzeit + '/' + pfad;
    }
    sockaddr_un adresse{};
    adresse.sun_family = AF_UNIX;
    if (static_cast<std::size_t>(pfad.size()) >= sizeof adresse.sun_path) return false;
    std::memcpy(adresse.sun_path, pfad.constData(), static_cast<std::size_t>(pfad.size()));
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return false;
    const bool offen = ::connect(fd, reinterpret_cast<const sockaddr*>(&adresse), sizeof adresse) == 0;
    ::close(fd);
    return offen;
}

// Qt's platform plugin for Wayland is a package of its own.
bool waylandPluginDa() {
    QStringList ordner = qEnvironmentVariable("QT_PLUGIN_PATH").split(':', Qt::SkipEmptyParts);
    ordner << QLibraryInfo::path(QLibraryInfo::PluginsPath);
    for (const QString& o : ordner) {
        if (!QDir(o + "/platforms").entryList({"libqwayland*"}, QDir::Files).isEmpty()) return true;
    }
    return false;
}

// One entry of QT_QPA_PLATFORM ("name" or "name:options") can be opened.
bool nutzbar(const QByteArray& eintrag) {
    const qsizetype doppelpunkt = eintrag.indexOf(':');
    const QByteArray name = doppelpunkt < 0 ? eintrag : eintrag.left(doppelpunkt);
    if (name == "xcb") return xAntwortet(qgetenv("DISPLAY"));
    if (name.startsWith("wayland")) return waylandAntwortet() && waylandPluginDa();
    // offscreen, minimal, vnc, eglfs …: they need no display server.
    return !name.isEmpty();
}

}  // namespace

bool anzeigeWaehlen() {
    QList<QByteArray> kandidaten;
    const QByteArray gewaehlt = qgetenv("QT_QPA_PLATFORM");
    if (!gewaehlt.isEmpty()) {
        kandidaten = gewaehlt.split(';');
    } else {
        const bool wayland = !qgetenv("WAYLAND_DISPLAY").isEmpty();
        const bool x = !qgetenv("DISPLAY").isEmpty();
        if (wayland && qgetenv("XDG_SESSION_TYPE") != "x11") kandidaten << "wayland";
        if (x) kandidaten << "xcb";
        if (wayland && qgetenv("XDG_SESSION_TYPE") == "x11") kandidaten << "wayland";
    }
    for (const QByteArray& kandidat : kandidaten) {
        if (nutzbar(kandidat)) {
            qputenv("QT_QPA_PLATFORM", kandidat);
            return true;
        }
    }
    return false;
}

}  // namespace cdb2xls::qt
