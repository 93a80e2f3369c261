#pragma once
// Builders of small transport networks in memory, and a current folder of their own for the tests whose
// search writes its diagnostic files.
#include "base/ZemText.h"
#include "model/ZemMap.h"
#include "platform/ZemHeadlessHost.h"
#include "transport/ZemGraphFromMap.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace zem {

namespace zemtest {

// Changes into a fresh temporary folder for the life of the object.
class TTempCurrentDir {
public:
    TTempCurrentDir() : FOld(std::filesystem::current_path()) {
        // Memory-backed when there is one: a search rewrites its population file every generation.
        std::error_code Ec;
        const std::filesystem::path Base = std::filesystem::is_directory("/dev/shm", Ec)
                                               ? std::filesystem::path("/dev/shm")
                                               : std::filesystem::temp_directory_path();
        std::string Pattern = (Base / "zemroute-XXXXXX").string();
        FDir = mkdtemp(Pattern.data());
        std::filesystem::current_path(FDir);
    }
    ~TTempCurrentDir() {
        std::filesystem::current_path(FOld);
        std::error_code Ec;
        std::filesystem::remove_all(FDir, Ec);
    }
    TTempCurrentDir(const TTempCurrentDir&) = delete;
    TTempCurrentDir& operator=(const TTempCurrentDir&) = delete;
    const std::filesystem::path& Path() const { return FDir; }

private:
    std::filesystem::path FOld;
    std::filesystem::path FDir;
};

inline std::string ReadFile(const std::string& Name) {
    std::ifstream In(Name, std::ios::binary);
    std::stringstream S;
    S << In.rdbuf();
    return S.str();
}

// A host that remembers the caption and the names of the transport choice.
class TRecordingHost : public HeadlessHost {
public:
    bool AskTransportKinds(const std::string& Caption, const std::vector<std::string>& Names,
                           std::vector<int>& Checked) override {
        ++AskCount;
        LastCaption = Caption;
        LastNames = Names;
        InitialChecked = Checked;
        return HeadlessHost::AskTransportKinds(Caption, Names, Checked);
    }
    int AskCount = 0;
    std::string LastCaption;
    std::vector<std::string> LastNames;
    std::vector<int> InitialChecked;
};

struct NetworkFixture : ::testing::Test {
    TRecordingHost Host;
    TZemMap Map{Host};

    NetworkFixture() {
        for (const char* Name : {"Пешком", "Автобус", "Троллейбус", "Маршрутное такси", "Свой транспорт"})
            Map.Doc.TransportTypes.push_back(zem::FromUtf8(Name));
    }

    std::int32_t Junction(float X, float Y) {
        TZemObject T;
        T.Kind = otRoadCross;
        T.AddPoint(X, Y);
        Map.AddObject(T);
        return Map.Doc.MaxID - 1;
    }

    // A segment from junction A to junction B, straight or through the bends given.
    std::int32_t Segment(std::int32_t A, std::int32_t B, std::int32_t Type, const std::string& Name,
                         std::uint8_t Direction = 2, const std::vector<TXYPoint>& Bends = {}) {
        TZemObject T;
        T.Kind = otRoadCrossLine;
        T.StartCrossID = A;
        T.EndCrossID = B;
        T.SetDirection(Direction);
        T.SetTransportType(Type);
        T.AddPoint(Map.ObjectByID(A).Point(0));
        for (const TXYPoint& P : Bends)
            T.AddPoint(P);
        T.AddPoint(Map.ObjectByID(B).Point(0));
        Map.AddObject(T);
        const std::int32_t ID = Map.Doc.MaxID - 1;
        Map.ObjectByID(ID).SetText(zem::FromUtf8(Name)); // a copy takes no route name: it is set afterwards
        return ID;
    }

    // A grid of Rows x Cols junctions Step apart joined by walking segments, with a bus route along every
    // second row and a trolleybus along every third column. Returns the junction IDs row by row.
    std::vector<std::int32_t> Grid(int Rows, int Cols, float Step = 100.0f) {
        std::vector<std::int32_t> J;
        for (int r = 0; r < Rows; ++r)
            for (int c = 0; c < Cols; ++c)
                J.push_back(Junction(c * Step, r * Step));
        auto At = [&](int r, int c) { return J[static_cast<size_t>(r * Cols + c)]; };
        for (int r = 0; r < Rows; ++r)
            for (int c = 0; c < Cols; ++c) {
                if (c + 1 < Cols) {
                    Segment(At(r, c), At(r, c + 1), 0, "");
                    if (r % 2 == 0)
                        Segment(At(r, c), At(r, c + 1), 1, "Bus" + std::to_string(r));
                }
                if (r + 1 < Rows) {
                    Segment(At(r, c), At(r + 1, c), 0, "");
                    if (c % 3 == 0)
                        Segment(At(r, c), At(r + 1, c), 2, "T" + std::to_string(c));
                }
            }
        return J;
    }

    TIntegerList Path(std::initializer_list<std::int32_t> Elements) {
        TIntegerList L;
        for (std::int32_t E : Elements)
            L.Add(E);
        return L;
    }

    static std::vector<std::int32_t> Items(const TIntegerList& L) { return {L.begin(), L.end()}; }
};

// Draws taken from a script first, then from a fixed generator; reseeds are only counted.
class TScriptedRandom : public TZemRandom {
public:
    explicit TScriptedRandom(std::vector<std::int32_t> Draws = {})
        : TZemRandom(12345), Script(std::move(Draws)) {}
    std::int32_t Uniform(std::int32_t N) override {
        Asked.push_back(N);
        if (Next < Script.size()) {
            const std::int32_t V = Script[Next++];
            EXPECT_LT(V, N) << "scripted draw out of range";
            return V;
        }
        return TZemRandom::Uniform(N);
    }
    void Reseed() override { ++Reseeds; }
    bool ScriptUsed() const { return Next == Script.size(); }

    std::vector<std::int32_t> Script;
    size_t Next = 0;
    std::vector<std::int32_t> Asked;
    int Reseeds = 0;
};

} // namespace zemtest

} // namespace zem
