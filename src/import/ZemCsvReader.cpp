#include "import/ZemCsvReader.h"

#include "base/ZemErrors.h"

#include <algorithm>
#include <cstring>

namespace zem {

namespace {

bool IsSpace(char C) {
    return C == ' ' || C == '\t';
}

std::string_view Trim(std::string_view S) {
    while (!S.empty() && IsSpace(S.front()))
        S.remove_prefix(1);
    while (!S.empty() && IsSpace(S.back()))
        S.remove_suffix(1);
    return S;
}

} // namespace

TCsvReader::TCsvReader(TByteStream& Stream, std::string FileName, std::size_t Chunk)
    : FStream(Stream), FFileName(std::move(FileName)), FChunk(std::max<std::size_t>(Chunk, 1)) {
    // A small table needs no chunk larger than itself (the size is a hint: reading goes on to the end).
    if (const std::uint64_t Size = Stream.Size(); Size > 0)
        FChunk = static_cast<std::size_t>(
            std::min<std::uint64_t>(FChunk, std::max<std::uint64_t>(Size + 1, 4096)));
}

void TCsvReader::Fail(const std::string& What) const {
    throw EZemError("\"" + FFileName + "\", строка " + std::to_string(FLine) + ": " + What);
}

bool TCsvReader::Fill() {
    if (FEof)
        return false;
    // Keep the unread tail; a record that has not ended within the limit is refused before the buffer
    // would have to grow.
    if (FPos > 0) {
        std::memmove(FBuffer.data(), FBuffer.data() + FPos, FEnd - FPos);
        FEnd -= FPos;
        FPos = 0;
    }
    if (FEnd > kMaxRecordBytes)
        Fail("запись длиннее " + std::to_string(kMaxRecordBytes >> 20) +
             " МБ (возможно, не закрыты кавычки)");
    // A whole chunk per fill, however the stream hands it out, so that a long record is scanned again
    // only once per chunk.
    // The buffer grows with the longest record met, up to the limit and a chunk beyond it.
    if (FBuffer.size() - FEnd < FChunk)
        FBuffer.resize(std::min(FEnd + FChunk, kMaxRecordBytes + 2 * FChunk));
    const std::size_t Want = std::min(FChunk, FBuffer.size() - FEnd);
    std::size_t Got = 0;
    while (Got < Want) {
        const std::size_t N = FStream.Read(FBuffer.data() + FEnd + Got, Want - Got);
        if (N == 0) {
            FEof = true;
            break;
        }
        Got += N;
    }
    FEnd += Got;
    FBytesRead += Got;
    return Got > 0;
}

bool TCsvReader::Scan(bool AtEnd) {
    char* const Base = FBuffer.data();
    const char* P = Base + FPos;
    const char* const End = Base + FEnd;
    if (P == End)
        return false;
    FFields.clear();
    FQuoted.clear();
    std::uint64_t Lines = 0;
    for (;;) {
        const char* Start = P;
        while (P < End && IsSpace(*P))
            ++P;
        if (P < End && *P == '"') {
            FQuoted.push_back(FFields.size());
            ++P;
            for (;;) {
                const char* Q = static_cast<const char*>(std::memchr(P, '"', End - P));
                const char* Stop = Q ? Q : End;
                for (const char* C = P; C < Stop; ++C)
                    if (*C == '\n' || (*C == '\r' && (C + 1 >= Stop || C[1] != '\n')))
                        ++Lines;
                if (!Q) {
                    if (AtEnd)
                        Fail("кавычки, открытые здесь, не закрыты до конца файла");
                    return false;
                }
                if (Q + 1 == End && !AtEnd)
                    return false; // a doubled quote may continue in the next chunk
                P = Q + 1;
                if (P < End && *P == '"') {
                    ++P;
                    continue;
                }
                break;
            }
        }
        // The unquoted part (or what follows a closing quote) runs to the next delimiter.
        while (P < End && *P != ',' && *P != '\n' && *P != '\r')
            ++P;
        FFields.push_back({Start, static_cast<std::size_t>(P - Start)});
        if (P == End) {
            if (!AtEnd)
                return false;
            break;
        }
        if (*P == ',') {
            ++P;
            continue;
        }
        if (*P == '\r') {
            if (P + 1 == End && !AtEnd)
                return false;
            if (P + 1 < End && P[1] == '\n')
                ++P;
        }
        ++P;
        ++Lines;
        break;
    }
    FRecordLine = FLine;
    FLine += Lines;
    FPos = static_cast<std::size_t>(P - Base);

    // Quoted fields are unescaped in place: the text only ever shrinks.
    for (std::size_t Index : FQuoted) {
        TField& F = FFields[Index];
        char* W = const_cast<char*>(F.Data);
        const char* R = F.Data;
        const char* const FEndp = F.Data + F.Size;
        while (R < FEndp && IsSpace(*R))
            ++R;
        ++R; // the opening quote
        while (R < FEndp) {
            if (*R == '"') {
                if (R + 1 < FEndp && R[1] == '"') {
                    *W++ = '"';
                    R += 2;
                    continue;
                }
                ++R;
                break;
            }
            *W++ = *R++;
        }
        while (R < FEndp)
            *W++ = *R++;
        F.Size = static_cast<std::size_t>(W - F.Data);
    }
    for (TField& F : FFields) {
        const std::string_view T = Trim(std::string_view(F.Data, F.Size));
        F = {T.data(), T.size()};
    }
    return true;
}

bool TCsvReader::Next() {
    if (FFirst) {
        FFirst = false;
        while (FEnd < 3 && Fill()) {
        }
        if (FEnd >= 2 && ((static_cast<unsigned char>(FBuffer[0]) == 0xFF &&
                           static_cast<unsigned char>(FBuffer[1]) == 0xFE) ||
                          (static_cast<unsigned char>(FBuffer[0]) == 0xFE &&
                           static_cast<unsigned char>(FBuffer[1]) == 0xFF)))
            Fail("файл в кодировке UTF-16, а нужна UTF-8");
        if (FEnd >= 3 && std::memcmp(FBuffer.data(), "\xEF\xBB\xBF", 3) == 0)
            FPos = 3;
    }
    for (;;) {
        if (!Scan(FEof)) {
            if (FEof && FPos == FEnd)
                return false;
            Fill();
            continue;
        }
        const bool Blank = FFields.size() == 1 && FFields[0].Size == 0 && FQuoted.empty();
        if (!Blank)
            return true;
    }
}

TCsvHeader::TCsvHeader(TCsvReader& Reader) : FFileName(Reader.FileName()) {
    if (!Reader.Next())
        throw EZemError("\"" + FFileName + "\": файл пуст, нет строки заголовка");
    for (std::size_t I = 0; I < Reader.FieldCount(); ++I) {
        std::string Name(Reader.Field(I));
        if (!Name.empty() && std::find(FNames.begin(), FNames.end(), Name) != FNames.end())
            throw EZemError("\"" + FFileName + "\", строка 1, столбец \"" + Name + "\": столбец повторён");
        FNames.push_back(std::move(Name));
    }
}

int TCsvHeader::Find(std::string_view Name) const {
    for (std::size_t I = 0; I < FNames.size(); ++I)
        if (FNames[I] == Name)
            return static_cast<int>(I);
    return -1;
}

int TCsvHeader::Require(std::string_view Name) const {
    const int At = Find(Name);
    if (At < 0)
        throw EZemError("\"" + FFileName + "\", строка 1: нет обязательного столбца \"" + std::string(Name) +
                        "\"");
    return At;
}

} // namespace zem
