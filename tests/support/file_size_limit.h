// Lowers the file size limit of the (native test) process for one scope: writes past it then fail
// short, without a signal, which is how a full disk looks to the code under test.
#pragma once
#include <signal.h>
#include <sys/resource.h>

class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        signal(SIGXFSZ, SIG_IGN);
        ok_ = getrlimit(RLIMIT_FSIZE, &old_) == 0;
        rlimit limited = old_;
        limited.rlim_cur = bytes;
        ok_ = ok_ && setrlimit(RLIMIT_FSIZE, &limited) == 0;
    }
    ~FileSizeLimit() { lift(); }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;
    bool ok() const { return ok_; }
    void lift() {
        if (ok_) setrlimit(RLIMIT_FSIZE, &old_);
        ok_ = false;
    }

private:
    rlimit old_{};
    bool ok_ = false;
};
