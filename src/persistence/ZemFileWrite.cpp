#include "persistence/ZemFileWrite.h"

#include "model/ZemErrors.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace zem {

namespace {

[[noreturn]] void Fail(const std::string& What, const std::string& Path, int Error) {
    throw EZemError(What + " \"" + Path + "\": " + std::strerror(Error));
}

// Closes the descriptor and removes the temporary file unless the write was committed.
struct TTempFile {
    std::string Name;
    int Fd = -1;
    bool Committed = false;
    ~TTempFile() {
        if (Fd >= 0)
            ::close(Fd);
        if (!Committed && !Name.empty())
            ::unlink(Name.c_str());
    }
};

} // namespace

void WriteFileAtomically(const std::string& Path, std::string_view Bytes) {
    TTempFile Tmp;
    std::string Template = Path + ".tmp-XXXXXX";
    Tmp.Fd = ::mkstemp(Template.data());
    if (Tmp.Fd < 0)
        Fail("Не удалось создать файл", Path, errno);
    Tmp.Name = Template;
    // Keep the permissions an ordinary new file would get.
    const mode_t Mask = ::umask(0);
    ::umask(Mask);
    ::fchmod(Tmp.Fd, 0666 & ~Mask);
    size_t Done = 0;
    while (Done < Bytes.size()) {
        ssize_t n = ::write(Tmp.Fd, Bytes.data() + Done, Bytes.size() - Done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            Fail("Не удалось записать файл", Path, errno);
        }
        Done += static_cast<size_t>(n);
    }
    if (::fsync(Tmp.Fd) != 0)
        Fail("Не удалось записать файл", Path, errno);
    const int Fd = Tmp.Fd;
    Tmp.Fd = -1;
    if (::close(Fd) != 0)
        Fail("Не удалось записать файл", Path, errno);
    if (::rename(Tmp.Name.c_str(), Path.c_str()) != 0)
        Fail("Не удалось записать файл", Path, errno);
    Tmp.Committed = true;
}

std::string ReadWholeFile(const std::string& Path, std::size_t MaxBytes) {
    // Without O_NONBLOCK, opening a FIFO would wait for a writer; the descriptor's type is checked next.
    const int Fd = ::open(Path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (Fd < 0)
        Fail("Не удалось открыть файл", Path, errno);
    struct TClose {
        int Fd;
        ~TClose() { ::close(Fd); }
    } Close{Fd};
    struct stat St;
    if (::fstat(Fd, &St) != 0)
        Fail("Не удалось открыть файл", Path, errno);
    // A device or a pipe may never end (/dev/zero) or never answer.
    if (!S_ISREG(St.st_mode))
        throw EZemError("Не удалось открыть файл \"" + Path + "\": это не обычный файл");
    auto TooLarge = [&] {
        throw EZemError("Не удалось открыть файл \"" + Path + "\": файл больше " + std::to_string(MaxBytes) +
                        " байт");
    };
    if (static_cast<std::uint64_t>(St.st_size) > MaxBytes)
        TooLarge();
    std::string Data;
    Data.reserve(static_cast<std::size_t>(St.st_size));
    char Buf[65536];
    for (;;) {
        const ssize_t n = ::read(Fd, Buf, sizeof Buf);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            Fail("Не удалось прочитать файл", Path, errno);
        }
        if (n == 0)
            break;
        // The file may grow while it is read.
        if (static_cast<std::size_t>(n) > MaxBytes - Data.size())
            TooLarge();
        Data.append(Buf, static_cast<std::size_t>(n));
    }
    return Data;
}

} // namespace zem
