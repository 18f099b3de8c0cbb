// The library's place in the page: the worker's memory (Emscripten's file
// system, which in the page lives in memory), gone with the worker. A
// workbook's rows pass through it as XML, so there memory grows with the
// list: about 2.5 times the list's size, until the workbook is done.
#include "xlsx/packort.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>

namespace cdb2xls {
namespace {

class SeitenPackort final : public Packort {
public:
    SeitenPackort(const SeitenPackort&) = delete;
    SeitenPackort& operator=(const SeitenPackort&) = delete;
    SeitenPackort() = default;
    ~SeitenPackort() override {
        if (fd_ >= 0) ::close(fd_);
        ::unlink(kName);
    }

    const std::string& zwischenordner() const override { return ordner_; }
    const std::string& bezeichnung() const override { return bezeichnung_; }
    std::int64_t stelle(std::FILE* datei) const override { return ::ftello(datei); }

    void packen(const std::function<void(const std::string& name)>& schreiben) override {
        schreiben(kName);
        fd_ = ::open(kName, O_RDONLY);
        if (fd_ < 0) throw SchreibFehler("Arbeitsmappe: " + std::string(std::strerror(errno)));
    }

    std::uint64_t groesse() override {
        struct stat info {};
        if (::fstat(fd_, &info) != 0) throw SchreibFehler("Arbeitsmappe: " + std::string(std::strerror(errno)));
        return static_cast<std::uint64_t>(info.st_size);
    }

    std::size_t lies(std::uint64_t stelle, char* puffer, std::size_t anzahl) override {
        const ssize_t n = ::pread(fd_, puffer, anzahl, static_cast<off_t>(stelle));
        if (n < 0) throw SchreibFehler("Arbeitsmappe: " + std::string(std::strerror(errno)));
        return static_cast<std::size_t>(n);
    }

private:
    static constexpr char kName[] = "/tmp/cdb2xls-mappe.xlsx";
    std::string ordner_ = "/tmp";
    std::string bezeichnung_ = "Speicher der Seite";
    int fd_ = -1;
};

}  // namespace

std::unique_ptr<Packort> packortErstellen() { return std::make_unique<SeitenPackort>(); }

}  // namespace cdb2xls
