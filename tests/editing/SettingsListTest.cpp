// Every setting in the list of stored settings comes back from a save and load, and from an undo and redo
// of a change of the settings, over seeded random values: a row added to the list but missed by the file,
// the history's record or its byte image fails here.
#include "model/ZemMap.h"
#include "model/ZemSettings.h"
#include "platform/ZemHeadlessHost.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <random>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

using namespace zem;

namespace {

using TSettingTexts = std::vector<std::pair<std::string, std::string>>;

class TRandomSettings {
public:
    explicit TRandomSettings(std::uint32_t Seed) : FRandom(Seed) {}

    // A value any map may hold: positive numbers (grid steps, scales), bytes that are compression levels.
    template <class T> T Next() {
        if constexpr (std::is_same_v<T, bool>)
            return FRandom() % 2 == 0;
        else if constexpr (std::is_same_v<T, std::uint8_t>)
            return static_cast<std::uint8_t>(FRandom() % 5);
        else if constexpr (std::is_same_v<T, std::int32_t>)
            return static_cast<std::int32_t>(1 + FRandom() % 100000);
        else if constexpr (std::is_same_v<T, float>)
            return std::uniform_real_distribution<float>(0.5f, 5000.0f)(FRandom);
        else if constexpr (std::is_same_v<T, ZemString>) {
            ZemString S(FRandom() % 256, ' ');
            for (char& c : S)
                c = static_cast<char>(FRandom() % 256);
            return S;
        } else {
            static_assert(std::is_same_v<T, TXYPoint>, "a setting type this test cannot draw");
            std::uniform_real_distribution<float> Coordinate(-1e4f, 1e4f);
            return TXYPoint{Coordinate(FRandom), Coordinate(FRandom)};
        }
    }

    // A value unlike Old, so that a setting left alone cannot pass for one put back.
    template <class T> T Other(const T& Old) {
        if constexpr (std::is_same_v<T, bool>)
            return !Old;
        else {
            T V = Next<T>();
            while (Text(V) == Text(Old))
                V = Next<T>();
            return V;
        }
    }

    // The exact value as text: a single by its bits.
    template <class T> static std::string Text(const T& V) {
        if constexpr (std::is_same_v<T, ZemString>)
            return V;
        else if constexpr (std::is_same_v<T, float>)
            return std::to_string(std::bit_cast<std::uint32_t>(V));
        else if constexpr (std::is_same_v<T, TXYPoint>)
            return Text(V.X) + "," + Text(V.Y);
        else
            return std::to_string(V);
    }

    std::int32_t Below(std::int32_t N) { return static_cast<std::int32_t>(FRandom() % N); }

private:
    std::mt19937 FRandom;
};

// The rows that pass the test, by name, with their values as text.
template <class TFilter> TSettingTexts SettingTexts(const TZemMap& Map, TFilter Wanted) {
    TSettingTexts Texts;
    ForEachSetting([&](const auto& Row) {
        if (Wanted(Row))
            Texts.emplace_back(Row.Name, TRandomSettings::Text(Row.In(Map)));
    });
    return Texts;
}

void ExpectSame(const TSettingTexts& Want, const TSettingTexts& Got) {
    ASSERT_EQ(Want.size(), Got.size());
    for (std::size_t i = 0; i < Want.size(); ++i)
        EXPECT_EQ(Want[i], Got[i]);
}

} // namespace

TEST(SettingsListTest, SaveAndLoadGiveBackEverySettingTheFileStores) {
    const auto InFile = [](const auto& Row) { return Row.Has(kFile); };
    for (std::uint32_t Seed = 1; Seed <= 40; ++Seed) {
        SCOPED_TRACE(Seed);
        TRandomSettings R(Seed);
        HeadlessHost Host{320, 200};
        TZemMap Saved(Host), Loaded(Host);
        Saved.Resize(320, 200);
        Loaded.Resize(320, 200);
        // Objects first, while editing is allowed: the counted settings come from them.
        for (std::int32_t i = R.Below(6); i > 0; --i) {
            TZemObject T;
            T.Kind = otPolygon;
            T.AddPoint(static_cast<float>(R.Below(500)), static_cast<float>(R.Below(500)));
            T.AddPoint(static_cast<float>(R.Below(500)), static_cast<float>(R.Below(500)));
            Saved.AddObject(T);
        }
        ForEachSetting([&](const auto& Row) {
            if (!Row.Has(kCounted))
                Row.In(Saved) = R.template Next<TZemSettingType<decltype(Row)>>();
        });
        // The extent of the view follows from the scale and the control's size, as every load makes it.
        Saved.FitExtentToSize();
        const std::vector<std::uint8_t> Bytes = Saved.SaveToBytes(); // works out the world extent
        ASSERT_TRUE(Loaded.LoadFromBytes(Bytes));
        ExpectSame(SettingTexts(Saved, InFile), SettingTexts(Loaded, InFile));
        EXPECT_EQ(Loaded.SaveToBytes(), Bytes);
    }
}

TEST(SettingsListTest, UndoAndRedoOfASettingsChangePutBackEveryUndoneSetting) {
    const auto Undone = [](const auto& Row) { return std::remove_cvref_t<decltype(Row)>::kUndone; };
    for (std::uint32_t Seed = 1; Seed <= 40; ++Seed) {
        SCOPED_TRACE(Seed);
        TRandomSettings R(Seed);
        HeadlessHost Host;
        TZemMap Map(Host);
        ForEachUndoneSetting(
            [&](const auto& Row) { Row.In(Map) = R.template Next<TZemSettingType<decltype(Row)>>(); });
        const TSettingTexts Before = SettingTexts(Map, Undone);
        {
            TZemChange Step(Map);
            Map.TouchSettings();
            ForEachUndoneSetting([&](const auto& Row) { Row.In(Map) = R.Other(Row.In(Map)); });
        }
        const TSettingTexts After = SettingTexts(Map, Undone);
        ASSERT_TRUE(Map.CanUndo());
        Map.Undo(); // from the step's byte image, as every kept step
        ExpectSame(Before, SettingTexts(Map, Undone));
        Map.Redo();
        ExpectSame(After, SettingTexts(Map, Undone));
        // A change of any one of them alone is a step of its own.
        Map.Undo();
        ForEachUndoneSetting([&](const auto& Row) {
            {
                TZemChange Step(Map);
                Map.TouchSettings();
                Row.In(Map) = R.Other(Row.In(Map));
            }
            ASSERT_TRUE(Map.CanUndo()) << Row.Name;
            Map.Undo();
            ExpectSame(Before, SettingTexts(Map, Undone));
        });
    }
}
