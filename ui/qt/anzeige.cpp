#include "ui/qt/anzeige.h"

#include <QByteArray>
#include <QDir>
#include <QLibraryInfo>
#include <QList>
#include <QStringList>
#include <QtGlobal>

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <sys/un.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <cerrno>
#include <csignal>
#include <cstdint>
#include <cstring>

namespace cdb2xls::qt {
namespace {

// How long a display server may take to answer the probe. A server that
// takes the connection but never answers (stopped, hung) would otherwise
// hold the program forever: xcb_connect waits for its reply without limit.
constexpr int kAntwortfristMs = 2000;

// The X server answers in time and lets us in (xcb does the authorisation,
// as Qt's own xcb platform would). The probe runs in a child process, which
// is given up when it has not answered in time; the program has no other
// thread yet, so the child may use xcb.
bool xAntwortet(const QByteArray& anzeige) {
    int rohr[2];
    if (::pipe2(rohr, O_CLOEXEC) != 0) return false;
    const pid_t kind = ::fork();
    if (kind == 0) {
        ::close(rohr[0]);
        xcb_connection_t* verbindung = xcb_connect(anzeige.isEmpty() ? nullptr : anzeige.constData(), nullptr);
        const char offen = xcb_connection_has_error(verbindung) == 0 ? 1 : 0;
        [[maybe_unused]] const ssize_t n = ::write(rohr[1], &offen, 1);
        ::_exit(0);
    }
    ::close(rohr[1]);
    char offen = 0;
    if (kind > 0) {
        pollfd warten{rohr[0], POLLIN, 0};
        int bereit;
        do {
            bereit = ::poll(&warten, 1, kAntwortfristMs);
        } while (bereit < 0 && errno == EINTR);
        if (bereit <= 0 || ::read(rohr[0], &offen, 1) != 1) offen = 0;
        ::kill(kind, SIGKILL);
        while (::waitpid(kind, nullptr, 0) < 0 && errno == EINTR) {
        }
    }
    ::close(rohr[0]);
    return offen == 1;
}

// The Wayland compositor takes a connection and answers a round trip in
// time: the first request of any client, wl_display.sync (object 1, request
// 0, 12 bytes, a new callback object), which it answers at once. Without an
// answer, Qt's Wayland platform would wait for one forever.
bool waylandAntwortet() {
    QByteArray pfad = qgetenv(kWaylandAnzeige);
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
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0) return false;
    bool antwort = false;
    // The wire format is the host's byte order.
    const std::uint32_t sync[3] = {1, 12u << 16 | 0, 2};
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&adresse), sizeof adresse) == 0 &&
        ::send(fd, sync, sizeof sync, MSG_NOSIGNAL) == static_cast<ssize_t>(sizeof sync)) {
        pollfd warten{fd, POLLIN, 0};
        int bereit;
        do {
            bereit = ::poll(&warten, 1, kAntwortfristMs);
        } while (bereit < 0 && errno == EINTR);
        char byte;
        antwort = bereit > 0 && ::recv(fd, &byte, 1, 0) == 1;
    }
    ::close(fd);
    return antwort;
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
    if (name == "xcb") return xAntwortet(qgetenv(kXAnzeige));
    if (name.startsWith("wayland")) return waylandAntwortet() && waylandPluginDa();
    // offscreen, minimal, vnc, eglfs …: they need no display server.
    return !name.isEmpty();
}

}  // namespace

bool anzeigeWaehlen() {
    QList<QByteArray> kandidaten;
    const QByteArray gewaehlt = qgetenv(kQtPlattform);
    if (!gewaehlt.isEmpty()) {
        kandidaten = gewaehlt.split(';');
    } else {
        const bool wayland = !qgetenv(kWaylandAnzeige).isEmpty();
        const bool x = !qgetenv(kXAnzeige).isEmpty();
        if (wayland && qgetenv("XDG_SESSION_TYPE") != "x11") kandidaten << "wayland";
        if (x) kandidaten << "xcb";
        if (wayland && qgetenv("XDG_SESSION_TYPE") == "x11") kandidaten << "wayland";
    }
    for (const QByteArray& kandidat : kandidaten) {
        if (nutzbar(kandidat)) {
            qputenv(kQtPlattform, kandidat);
            return true;
        }
    }
    return false;
}

}  // namespace cdb2xls::qt
