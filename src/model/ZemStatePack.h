#pragma once
// Flat byte images of in-memory state, for the undo history: values are copied as they lie in memory
// (this process writes and reads them, nothing else), strings and point lists with a length first.
#include "base/ZemText.h"
#include "base/ZemXYArray.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <stdexcept>
#include <type_traits>
#include <vector>

namespace zem {

class TZemStateWriter {
public:
    explicit TZemStateWriter(std::vector<std::byte>& Out) : FOut(Out) {}

    void PutBytes(const void* Data, std::size_t N) {
        const auto* B = static_cast<const std::byte*>(Data);
        FOut.insert(FOut.end(), B, B + N);
    }
    template <class T>
    requires std::is_trivially_copyable_v<T>
    void Put(const T& V) { PutBytes(&V, sizeof(T)); }
    void PutString(const ZemString& S) {
        Put(static_cast<std::uint64_t>(S.size()));
        PutBytes(S.data(), S.size());
    }
    void PutPoints(const TZemXYArray& Points) {
        Put(Points.Count());
        PutBytes(Points.Data(), static_cast<std::size_t>(Points.Count()) * sizeof(TXYPoint));
    }

private:
    std::vector<std::byte>& FOut;
};

// Reads back what a TZemStateWriter wrote. Reading past the end is a fault of this program, not of
// any input, and raises std::logic_error.
class TZemStateReader {
public:
    explicit TZemStateReader(std::span<const std::byte> In) : FIn(In) {}

    void GetBytes(void* Data, std::size_t N) {
        if (N > FIn.size() - FPos)
            throw std::logic_error("state image too short");
        if (N > 0)
            std::memcpy(Data, FIn.data() + FPos, N);
        FPos += N;
    }
    template <class T>
    requires std::is_trivially_copyable_v<T> T Get() {
        T V;
        GetBytes(&V, sizeof(T));
        return V;
    }
    ZemString GetString() {
        const auto N = static_cast<std::size_t>(Get<std::uint64_t>());
        if (N > FIn.size() - FPos)
            throw std::logic_error("state image too short");
        ZemString S(reinterpret_cast<const char*>(FIn.data() + FPos), N);
        FPos += N;
        return S;
    }
    TZemXYArray GetPoints() {
        const auto N = static_cast<std::size_t>(Get<std::int32_t>());
        if (N > (FIn.size() - FPos) / sizeof(TXYPoint))
            throw std::logic_error("state image too short");
        std::vector<TXYPoint> Read(N);
        GetBytes(Read.data(), N * sizeof(TXYPoint));
        TZemXYArray Points;
        Points.Append(Read);
        return Points;
    }
    bool AtEnd() const { return FPos == FIn.size(); }

private:
    std::span<const std::byte> FIn;
    std::size_t FPos = 0;
};

} // namespace zem
