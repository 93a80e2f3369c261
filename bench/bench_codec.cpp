// The codec against zlib on payloads built here: a map-like stream (object records in Windows-1251 with
// repeated street names and single-precision coordinates, written with TBinaryWriter as the map file
// does), the content of a generated city's map file, random bytes, and a long run of one byte.
//
// Each benchmark reports bytes_per_second of the unpacked size and a "ratio" counter: unpacked size
// divided by packed size (higher is smaller output). ZemPack/<payload>/<level> and ZemUnpack/<payload>
// (data packed at level 3) are this codec; ZlibCompress/<payload>/<level> and ZlibUncompress/<payload>
// (data compressed at level 6) are zlib on the same bytes. The map-<size>K payloads are the first bytes of
// the map-like one, for smaller maps.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "CityGen.h"
#include "model/ZemText.h"
#include "persistence/ZemBinaryStream.h"
#include "persistence/ZemCodec.h"
#include "platform/ZemHeadlessHost.h"

#if __has_include(<zlib.h>)
#include <zlib.h>

using namespace zem;
#define ZEM_HAVE_ZLIB 1
#endif

namespace {

constexpr std::size_t kPayloadSize = 4 << 20;

std::vector<std::uint8_t> MapLikePayload() {
    const char* Streets[] = {
        "улица Тверская",          "Ленинский проспект",   "улица Арбат",          "Садовая-Кудринская улица",
        "Большая Никитская улица", "Кутузовский проспект", "улица Покровка",       "Мясницкая улица",
        "Пятницкая улица",         "улица Остоженка",      "Пречистенка",          "Новый Арбат",
        "Смоленский бульвар",      "Гоголевский бульвар",  "Чистопрудный бульвар", "улица Маросейка",
        "Лубянский проезд",        "Никольская улица",     "улица Варварка",       "Рождественский бульвар"};
    const char* Kinds[] = {"Жилой дом", "Магазин", "Школа", "Аптека", "Остановка", "Кафе"};
    std::vector<ZemString> Names, KindNames;
    for (const char* S : Streets)
        Names.push_back(zem::FromUtf8(S));
    for (const char* S : Kinds)
        KindNames.push_back(zem::FromUtf8(S));
    const ZemString Font = "Times New Roman";
    std::mt19937 Random(20240611);
    TBinaryWriter W;
    for (std::int32_t Id = 1; W.Length() < static_cast<std::int32_t>(kPayloadSize); ++Id) {
        W.WriteInteger(Id);
        W.WriteByte(static_cast<std::uint8_t>(Random() % 11));
        const float X = static_cast<float>(Random() % 4400), Y = static_cast<float>(Random() % 8900);
        const int Points = 3 + static_cast<int>(Random() % 12);
        W.WriteSingle(X);
        W.WriteSingle(Y);
        W.WriteSingle(X + 40);
        W.WriteSingle(Y + 30);
        W.WriteInteger(Points);
        for (int p = 0; p < Points; ++p) {
            W.WriteSingle(X + static_cast<float>(Random() % 4000) / 100.0f);
            W.WriteSingle(Y + static_cast<float>(Random() % 3000) / 100.0f);
        }
        W.WriteByte(0);
        W.WriteInteger(0x00202020 * static_cast<std::int32_t>(Random() % 4));
        W.WriteBoolean(Random() % 2);
        W.WriteSmallInt(static_cast<std::int16_t>(1 + Random() % 3));
        W.WriteString(Names[Random() % Names.size()]);
        W.WriteString(std::to_string(1 + Random() % 120));
        W.WriteString(KindNames[Random() % KindNames.size()]);
        W.WriteInteger(-1);
        W.WriteInteger(static_cast<std::int32_t>(Random() % 5));
        // Font, plane, pseudo-3D height, angle, text: mostly the defaults.
        W.WriteString(Font);
        W.WriteInteger(10);
        W.WriteInteger(0);
        W.WriteByte(0);
        W.WriteInteger(static_cast<std::int32_t>(Random() % 3));
        W.WriteSingle(0.0f);
        W.WriteSingle(0.0f);
        W.WriteString(Random() % 8 == 0 ? KindNames[Random() % KindNames.size()] : ZemString());
        W.WriteBoolean(0);
        W.WriteBoolean(1);
    }
    return {W.Buffer(), W.Buffer() + kPayloadSize};
}

// The content of a real map file: a generated city of about 40,000 objects saved unpacked, without the
// file header, the frame's length and checksum, and the stored block's H.
std::vector<std::uint8_t> CityPayload() {
    HeadlessHost Host;
    TZemMap Map{Host};
    Map.View.AutoUpdate = false;
    citygen::BuildCity(Map, 64, 64);
    Map.Doc.Compression = 0;
    const std::vector<std::uint8_t> File = Map.SaveToBytes();
    constexpr std::ptrdiff_t kBeforePayload = 64 + 4 + 4 + 4;
    return {File.begin() + kBeforePayload, File.end()};
}

std::vector<std::uint8_t> RandomPayload() {
    std::mt19937 Random(7);
    std::vector<std::uint8_t> P(kPayloadSize);
    for (auto& B : P)
        B = static_cast<std::uint8_t>(Random());
    return P;
}

std::vector<std::uint8_t> RunPayload() {
    return std::vector<std::uint8_t>(kPayloadSize, 'z');
}

struct TPayload {
    const char* Name;
    std::vector<std::uint8_t> Bytes;
};

const std::vector<TPayload>& Payloads() {
    static const std::vector<TPayload> All = {{"map", MapLikePayload()},
                                              {"city", CityPayload()},
                                              {"random", RandomPayload()},
                                              {"run", RunPayload()}};
    return All;
}

void ZemPack(benchmark::State& State, const TPayload& P, int Level) {
    std::size_t Packed = 0;
    for (auto _ : State) {
        zem::TPackedBlock Block = zem::G_Deflate(P.Bytes, Level);
        Packed = Block.PackedLength;
        benchmark::DoNotOptimize(Block.Memory.data());
    }
    State.SetBytesProcessed(static_cast<std::int64_t>(State.iterations() * P.Bytes.size()));
    State.counters["ratio"] = static_cast<double>(P.Bytes.size()) / static_cast<double>(Packed);
}

void ZemUnpack(benchmark::State& State, const TPayload& P) {
    const zem::TPackedBlock Block = zem::G_Deflate(P.Bytes, 3);
    std::vector<std::uint8_t> Out(P.Bytes.size());
    for (auto _ : State) {
        zem::G_Inflate(Block.Memory.data(), Block.PackedLength, Out.data());
        benchmark::DoNotOptimize(Out.data());
    }
    if (Out != P.Bytes)
        State.SkipWithError("round trip failed");
    State.SetBytesProcessed(static_cast<std::int64_t>(State.iterations() * P.Bytes.size()));
    State.counters["ratio"] = static_cast<double>(P.Bytes.size()) / static_cast<double>(Block.PackedLength);
}

#ifdef ZEM_HAVE_ZLIB
void ZlibCompress(benchmark::State& State, const TPayload& P, int Level) {
    std::vector<std::uint8_t> Out(compressBound(P.Bytes.size()));
    uLongf Packed = 0;
    for (auto _ : State) {
        Packed = Out.size();
        compress2(Out.data(), &Packed, P.Bytes.data(), P.Bytes.size(), Level);
        benchmark::DoNotOptimize(Out.data());
    }
    State.SetBytesProcessed(static_cast<std::int64_t>(State.iterations() * P.Bytes.size()));
    State.counters["ratio"] = static_cast<double>(P.Bytes.size()) / static_cast<double>(Packed);
}

void ZlibUncompress(benchmark::State& State, const TPayload& P) {
    std::vector<std::uint8_t> Packed(compressBound(P.Bytes.size()));
    uLongf PackedSize = Packed.size();
    compress2(Packed.data(), &PackedSize, P.Bytes.data(), P.Bytes.size(), 6);
    std::vector<std::uint8_t> Out(P.Bytes.size());
    for (auto _ : State) {
        uLongf Size = Out.size();
        uncompress(Out.data(), &Size, Packed.data(), PackedSize);
        benchmark::DoNotOptimize(Out.data());
    }
    if (Out != P.Bytes)
        State.SkipWithError("round trip failed");
    State.SetBytesProcessed(static_cast<std::int64_t>(State.iterations() * P.Bytes.size()));
    State.counters["ratio"] = static_cast<double>(P.Bytes.size()) / static_cast<double>(PackedSize);
}
#endif

} // namespace

int main(int argc, char** argv) {
    for (const TPayload& P : Payloads()) {
        const std::string Name = P.Name;
        for (int Level = 1; Level <= 4; ++Level)
            benchmark::RegisterBenchmark(("ZemPack/" + Name + "/" + std::to_string(Level)).c_str(), ZemPack,
                                         P, Level)
                ->Unit(benchmark::kMillisecond);
#ifdef ZEM_HAVE_ZLIB
        for (int Level : {1, 6, 9})
            benchmark::RegisterBenchmark(("ZlibCompress/" + Name + "/" + std::to_string(Level)).c_str(),
                                         ZlibCompress, P, Level)
                ->Unit(benchmark::kMillisecond);
#endif
        benchmark::RegisterBenchmark(("ZemUnpack/" + Name).c_str(), ZemUnpack, P)
            ->Unit(benchmark::kMillisecond);
#ifdef ZEM_HAVE_ZLIB
        benchmark::RegisterBenchmark(("ZlibUncompress/" + Name).c_str(), ZlibUncompress, P)
            ->Unit(benchmark::kMillisecond);
#endif
    }
    // Smaller maps: level 3 against zlib level 6 on the first bytes of the map-like payload.
    static std::vector<TPayload> Prefixes;
    for (std::size_t Size :
         {std::size_t{64} << 10, std::size_t{256} << 10, std::size_t{512} << 10, std::size_t{1} << 20}) {
        const std::vector<std::uint8_t>& Map = Payloads()[0].Bytes;
        Prefixes.push_back({nullptr, {Map.begin(), Map.begin() + static_cast<std::ptrdiff_t>(Size)}});
    }
    for (const TPayload& P : Prefixes) {
        const std::string Name = "map-" + std::to_string(P.Bytes.size() >> 10) + "K";
        benchmark::RegisterBenchmark(("ZemPack/" + Name + "/3").c_str(), ZemPack, P, 3)
            ->Unit(benchmark::kMillisecond);
#ifdef ZEM_HAVE_ZLIB
        benchmark::RegisterBenchmark(("ZlibCompress/" + Name + "/6").c_str(), ZlibCompress, P, 6)
            ->Unit(benchmark::kMillisecond);
#endif
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
