// Holds SIGINT, SIGTERM and SIGHUP back for a while: where a file and what
// removes it again at such a signal must come and go together, the signal
// waits, and ends the program as it would have once they are in step.
#pragma once

#include <csignal>

namespace cdb2xls {

class SignaleZurueck {
public:
    static constexpr int kSignale[] = {SIGINT, SIGTERM, SIGHUP};

    SignaleZurueck() {
        sigset_t signale;
        sigemptyset(&signale);
        for (const int signal : kSignale) sigaddset(&signale, signal);
        ::sigprocmask(SIG_BLOCK, &signale, &bisher_);
    }
    ~SignaleZurueck() { ::sigprocmask(SIG_SETMASK, &bisher_, nullptr); }
    SignaleZurueck(const SignaleZurueck&) = delete;
    SignaleZurueck& operator=(const SignaleZurueck&) = delete;

private:
    sigset_t bisher_;
};

}  // namespace cdb2xls
