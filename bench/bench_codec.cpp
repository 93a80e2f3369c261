// The codec against zlib and libdeflate (when it is installed) on payloads built here: a map-like stream
// (object records in Windows-1251 with repeated street names and single-precision coordinates, written
// with TBinaryWriter as the map file does), the content of a generated city's map file, running
// Windows-1251 text, random bytes, and a long run of one byte. Versus/<payload> times this codec and
// libdeflate side by side and prints each ratio next to its goal.
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

#include "BenchClock.h"
#include "CityGen.h"
#include "base/ZemText.h"
#include "persistence/ZemAdler32.h"
#include "persistence/ZemBinaryStream.h"
#include "persistence/ZemCodec.h"
#include "platform/ZemHeadlessHost.h"

#if __has_include(<zlib.h>)
#include <zlib.h>

using namespace zem;
#define ZEM_HAVE_ZLIB 1
#endif

#ifdef ZEM_HAVE_LIBDEFLATE
#include <libdeflate.h>
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

// Running Russian text in Windows-1251, as the text export and the directories hold it.
std::vector<std::uint8_t> TextPayload() {
    const char* Words[] = {"улица",   "дом",      "проспект", "остановка",  "трамвай", "автобус", "маршрут",
                           "площадь", "переулок", "магазин",  "школа",      "аптека",  "корпус",  "строение",
                           "район",   "город",    "бульвар",  "набережная", "мост",    "станция", "метро",
                           "от",      "до",       "через",    "на",         "и",       "в",       "по"};
    std::vector<ZemString> Dictionary;
    for (const char* W : Words)
        Dictionary.push_back(zem::FromUtf8(W));
    std::mt19937 Random(1251);
    std::vector<std::uint8_t> P;
    P.reserve(kPayloadSize + 64);
    while (P.size() < kPayloadSize) {
        const ZemString& W = Dictionary[Random() % Dictionary.size()];
        P.insert(P.end(), W.begin(), W.end());
        const std::uint32_t r = Random() % 16;
        const char* Sep = r == 0 ? ".\r\n" : r == 1 ? ", " : r == 2 ? " " : " ";
        if (r == 3) {
            const std::string N = " " + std::to_string(Random() % 200) + " ";
            P.insert(P.end(), N.begin(), N.end());
        } else {
            P.insert(P.end(), Sep, Sep + std::char_traits<char>::length(Sep));
        }
    }
    P.resize(kPayloadSize);
    return P;
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
                                              {"text", TextPayload()},
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
// The frame's checksum, taken over the packed block before every unpacking: against ZemUnpack's time.
void Adler(benchmark::State& State, const TPayload& P) {
    for (auto _ : State)
        benchmark::DoNotOptimize(zem::Adler32(P.Bytes.data(), P.Bytes.size()));
    State.SetBytesProcessed(static_cast<std::int64_t>(State.iterations() * P.Bytes.size()));
}

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

#ifdef ZEM_HAVE_LIBDEFLATE
std::vector<std::uint8_t> LibdeflatePack(const std::vector<std::uint8_t>& In, int Level) {
    libdeflate_compressor* C = libdeflate_alloc_compressor(Level);
    std::vector<std::uint8_t> Out(libdeflate_deflate_compress_bound(C, In.size()));
    Out.resize(libdeflate_deflate_compress(C, In.data(), In.size(), Out.data(), Out.size()));
    libdeflate_free_compressor(C);
    return Out;
}

void LibdeflateCompress(benchmark::State& State, const TPayload& P, int Level) {
    libdeflate_compressor* C = libdeflate_alloc_compressor(Level);
    std::vector<std::uint8_t> Out(libdeflate_deflate_compress_bound(C, P.Bytes.size()));
    std::size_t Packed = 0;
    for (auto _ : State) {
        Packed = libdeflate_deflate_compress(C, P.Bytes.data(), P.Bytes.size(), Out.data(), Out.size());
        benchmark::DoNotOptimize(Out.data());
    }
    libdeflate_free_compressor(C);
    State.SetBytesProcessed(static_cast<std::int64_t>(State.iterations() * P.Bytes.size()));
    State.counters["ratio"] = static_cast<double>(P.Bytes.size()) / static_cast<double>(Packed);
}

void LibdeflateDecompress(benchmark::State& State, const TPayload& P) {
    const std::vector<std::uint8_t> Packed = LibdeflatePack(P.Bytes, 6);
    libdeflate_decompressor* D = libdeflate_alloc_decompressor();
    std::vector<std::uint8_t> Out(P.Bytes.size());
    for (auto _ : State) {
        libdeflate_deflate_decompress(D, Packed.data(), Packed.size(), Out.data(), Out.size(), nullptr);
        benchmark::DoNotOptimize(Out.data());
    }
    libdeflate_free_decompressor(D);
    if (Out != P.Bytes)
        State.SkipWithError("round trip failed");
    State.SetBytesProcessed(static_cast<std::int64_t>(State.iterations() * P.Bytes.size()));
    State.counters["ratio"] = static_cast<double>(P.Bytes.size()) / static_cast<double>(Packed.size());
}

// This codec against libdeflate, each pair timed back to back in every iteration (processor time of
// this thread, so a busy machine moves both alike). "x" counters are libdeflate's time divided by ours:
// at least 1 is the goal. Unpacking: our level 3 against its level 6 data. Packing: our level 3 against
// its level 6, and our level 1 against its level 1, with the ratios beside (level 1's goal is zlib 1's).
// What each run of Versus measured, for the summary printed at the end.
struct TVersusFigures {
    std::string Payload;
    double Unpack, Pack3, Ratio3, TheirRatio6, Pack1, Ratio1, ZlibRatio1;
};
std::vector<TVersusFigures>& VersusFigures() {
    static std::vector<TVersusFigures> All;
    return All;
}

void Versus(benchmark::State& State, const TPayload& P) {
    libdeflate_compressor* C1 = libdeflate_alloc_compressor(1);
    libdeflate_compressor* C6 = libdeflate_alloc_compressor(6);
    libdeflate_decompressor* D = libdeflate_alloc_decompressor();
    std::vector<std::uint8_t> Theirs(libdeflate_deflate_compress_bound(C6, P.Bytes.size()));
    std::vector<std::uint8_t> Out(P.Bytes.size());
    const zem::TPackedBlock Ours3 = zem::G_Deflate(P.Bytes, 3);
    const std::vector<std::uint8_t> Theirs6 = LibdeflatePack(P.Bytes, 6);
    double Unpack = 0, TheirUnpack = 0, Pack3 = 0, TheirPack6 = 0, Pack1 = 0, TheirPack1 = 0;
    std::size_t Size1 = 0, TheirSize1 = 0;
    auto Time = [](auto&& Work) { return zem::bench::TimeOf(Work); };
    auto OurUnpack = [&] { zem::G_Inflate(Ours3.Memory.data(), Ours3.PackedLength, Out.data()); };
    auto LibdeflateUnpack = [&] {
        libdeflate_deflate_decompress(D, Theirs6.data(), Theirs6.size(), Out.data(), Out.size(), nullptr);
    };
    for (auto _ : State) {
        // The packing below evicts the unpackers' buffers, and the first unpacking timed after it would pay
        // for bringing back the output that the second then finds in the cache: one untimed run of each
        // first leaves both in the same state.
        OurUnpack();
        LibdeflateUnpack();
        Unpack += Time(OurUnpack);
        TheirUnpack += Time(LibdeflateUnpack);
        Pack3 += Time([&] { benchmark::DoNotOptimize(zem::G_Deflate(P.Bytes, 3).PackedLength); });
        TheirPack6 += Time([&] {
            libdeflate_deflate_compress(C6, P.Bytes.data(), P.Bytes.size(), Theirs.data(), Theirs.size());
        });
        Pack1 += Time([&] { Size1 = zem::G_Deflate(P.Bytes, 1).PackedLength; });
        TheirPack1 += Time([&] {
            TheirSize1 =
                libdeflate_deflate_compress(C1, P.Bytes.data(), P.Bytes.size(), Theirs.data(), Theirs.size());
        });
    }
    libdeflate_free_compressor(C1);
    libdeflate_free_compressor(C6);
    libdeflate_free_decompressor(D);
    const double n = static_cast<double>(P.Bytes.size());
    State.counters["unpack x"] = TheirUnpack / Unpack;
    State.counters["x goal"] = 1; // for each of the three "x" figures
    State.counters["pack3 vs ld6 x"] = TheirPack6 / Pack3;
    State.counters["ratio3"] = n / static_cast<double>(Ours3.PackedLength);
    State.counters["ld6 ratio"] = n / static_cast<double>(Theirs6.size());
    State.counters["pack1 vs ld1 x"] = TheirPack1 / Pack1;
    State.counters["ratio1"] = n / static_cast<double>(Size1);
    State.counters["ld1 ratio"] = n / static_cast<double>(TheirSize1);
#ifdef ZEM_HAVE_ZLIB
    std::vector<std::uint8_t> Z(compressBound(P.Bytes.size()));
    uLongf ZSize = Z.size();
    compress2(Z.data(), &ZSize, P.Bytes.data(), P.Bytes.size(), 1);
    State.counters["zlib1 ratio"] = n / static_cast<double>(ZSize);
#else
    const std::size_t ZSize = 0;
#endif
    VersusFigures().push_back(
        {P.Name, TheirUnpack / Unpack, TheirPack6 / Pack3, n / static_cast<double>(Ours3.PackedLength),
         n / static_cast<double>(Theirs6.size()), TheirPack1 / Pack1, n / static_cast<double>(Size1),
         ZSize == 0 ? 0 : n / static_cast<double>(ZSize)});
}

// Each codec figure next to its goal, one line per figure and payload.
void PrintVersusSummary() {
    if (VersusFigures().empty())
        return;
    auto Line = [](const char* Figure, const std::string& Payload, double Measured, const char* Goal,
                   bool Met) {
        std::printf("%-44s %-7s %8.3f   %-22s %s\n", Figure, Payload.c_str(), Measured, Goal,
                    Met ? "met" : "NOT met");
    };
    std::printf("\nCodec figures against their goals (speed: libdeflate's time / ours)\n");
    std::printf("%-44s %-7s %8s   %-22s %s\n", "figure", "payload", "measured", "goal", "");
    for (const TVersusFigures& F : VersusFigures())
        Line("unpack speed vs libdeflate", F.Payload, F.Unpack, ">= 1", F.Unpack >= 1);
    for (const TVersusFigures& F : VersusFigures()) {
        Line("level 3 pack speed vs libdeflate 6", F.Payload, F.Pack3, ">= 1", F.Pack3 >= 1);
        char Goal[32];
        std::snprintf(Goal, sizeof Goal, ">= %.3f (libdeflate 6)", F.TheirRatio6);
        Line("level 3 ratio", F.Payload, F.Ratio3, Goal, F.Ratio3 >= F.TheirRatio6);
    }
    for (const TVersusFigures& F : VersusFigures()) {
        Line("level 1 pack speed vs libdeflate 1", F.Payload, F.Pack1, ">= 1", F.Pack1 >= 1);
        if (F.ZlibRatio1 > 0) {
            char Goal[32];
            std::snprintf(Goal, sizeof Goal, ">= %.3f (zlib 1)", F.ZlibRatio1);
            Line("level 1 ratio", F.Payload, F.Ratio1, Goal, F.Ratio1 >= F.ZlibRatio1);
        }
    }
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
        if (Name == "map")
            benchmark::RegisterBenchmark("Adler32/map", Adler, P)->Unit(benchmark::kMillisecond);
#ifdef ZEM_HAVE_ZLIB
        benchmark::RegisterBenchmark(("ZlibUncompress/" + Name).c_str(), ZlibUncompress, P)
            ->Unit(benchmark::kMillisecond);
#endif
#ifdef ZEM_HAVE_LIBDEFLATE
        for (int Level : {1, 6})
            benchmark::RegisterBenchmark(("LibdeflateCompress/" + Name + "/" + std::to_string(Level)).c_str(),
                                         LibdeflateCompress, P, Level)
                ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("LibdeflateDecompress/" + Name).c_str(), LibdeflateDecompress, P)
            ->Unit(benchmark::kMillisecond);
        if (Name != "run")
            benchmark::RegisterBenchmark(("Versus/" + Name).c_str(), Versus, P)
                ->Unit(benchmark::kMillisecond)
                ->Iterations(6);
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
#ifdef ZEM_HAVE_LIBDEFLATE
    PrintVersusSummary();
#endif
    benchmark::Shutdown();
    return 0;
}
