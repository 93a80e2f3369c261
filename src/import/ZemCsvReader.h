#pragma once
// A streaming reader of comma-separated tables as transit feeds write them: a UTF-8 byte-order mark,
// quoted fields holding commas, quotes and line breaks, CRLF, LF or CR line ends, blank lines, and
// spaces around values. Only one record is held at a time, so a table of any length reads in the
// memory of its longest record.
#include "import/ZemByteStream.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zem {

class TCsvReader {
public:
    // A record longer than this is refused: a quote that never closes must not swallow a whole file.
    static constexpr std::size_t kMaxRecordBytes = 1 << 20;

    // FileName names the table in messages ("stops.txt"). Chunk is how much is read from the stream at
    // a time (small only in tests, to put records across the buffer's ends).
    TCsvReader(TByteStream& Stream, std::string FileName, std::size_t Chunk = 1 << 20);

    // Reads the next non-blank record; false at the end of the table. Raises EZemError for a record
    // that cannot be read (an unclosed quote, a record over the limit, a failed read).
    bool Next();

    std::size_t FieldCount() const { return FFields.size(); }
    // The field's value with the spaces around it removed; empty past the record's end.
    std::string_view Field(std::size_t Index) const {
        return Index < FFields.size() ? std::string_view(FFields[Index].Data, FFields[Index].Size)
                                      : std::string_view();
    }
    // The line on which the current record starts (1-based, the header is line 1).
    std::uint64_t Line() const { return FRecordLine; }
    const std::string& FileName() const { return FFileName; }
    // Bytes consumed from the stream so far (for progress).
    std::uint64_t BytesRead() const { return FBytesRead; }

private:
    struct TField {
        const char* Data;
        std::size_t Size;
    };
    // Scans one record from FPos; false when the buffer ends before the record does.
    bool Scan(bool AtEnd);
    bool Fill();
    [[noreturn]] void Fail(const std::string& What) const;

    TByteStream& FStream;
    std::string FFileName;
    std::size_t FChunk;
    std::vector<char> FBuffer;
    std::size_t FPos = 0, FEnd = 0;
    bool FEof = false;
    bool FFirst = true;
    std::uint64_t FLine = 1, FRecordLine = 0, FBytesRead = 0;
    std::vector<TField> FFields;
    std::vector<std::size_t> FQuoted; // field starts inside the record that were quoted
};

// The header of a table: column positions by name.
class TCsvHeader {
public:
    // Reads the first record as the header; raises EZemError for an empty table or a repeated column.
    explicit TCsvHeader(TCsvReader& Reader);
    // Position of the column, or -1 when the table lacks it.
    int Find(std::string_view Name) const;
    // Position of a column the table must have; raises EZemError naming the table and the column.
    int Require(std::string_view Name) const;
    std::size_t Count() const { return FNames.size(); }

private:
    std::string FFileName;
    std::vector<std::string> FNames;
};

} // namespace zem
