#include "persistence/ZemFileWrite.h"

#include "model/ZemErrors.h"

#include <cerrno>
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

std::string ReadWholeFile(const std::string& Path) {
    FILE* F = std::fopen(Path.c_str(), "rb");
    if (!F)
        Fail("Не удалось открыть файл", Path, errno);
    std::string Data;
    char Buf[65536];
    size_t n;
    while ((n = std::fread(Buf, 1, sizeof Buf, F)) > 0)
        Data.append(Buf, n);
    const bool Failed = std::ferror(F) != 0;
    const int Error = errno;
    std::fclose(F);
    if (Failed)
        Fail("Не удалось прочитать файл", Path, Error);
    return Data;
}

} // namespace zem
