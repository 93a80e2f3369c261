// A kept history step as one byte image: the IDs, then each side's objects with their places in the
// order, the settings, directories, shown transport types and search points it carries (the libraries
// stay beside the image), and the counters and extent.
#include "editing/ZemHistory.h"
#include "model/ZemSettings.h"
#include "model/ZemStatePack.h"

#include <type_traits>

namespace zem {

namespace {

void PackSettings(const TZemSettingsState& S, TZemStateWriter& W) {
    ForEachUndoneSetting([&](const auto& Row) {
        if constexpr (std::is_same_v<TZemSettingType<decltype(Row)>, ZemString>)
            W.PutString(S.*Row.Field);
        else
            W.Put(S.*Row.Field);
    });
}

TZemSettingsState UnpackSettings(TZemStateReader& R) {
    TZemSettingsState S;
    ForEachUndoneSetting([&](const auto& Row) {
        using T = TZemSettingType<decltype(Row)>;
        if constexpr (std::is_same_v<T, ZemString>)
            S.*Row.Field = R.GetString();
        else
            S.*Row.Field = R.Get<T>();
    });
    return S;
}

void PackSide(const TZemDocumentState& S, TZemStateWriter& W) {
    for (const TZemObjectState& O : S.Objects) {
        W.Put(static_cast<bool>(O.Object));
        if (O.Object) {
            W.Put(O.Position);
            O.Object->WriteState(W);
        }
    }
    W.Put(S.Settings.has_value());
    if (S.Settings)
        PackSettings(*S.Settings, W);
    W.Put(S.Directories.has_value());
    if (S.Directories)
        for (const TZemDirectory& D : *S.Directories) {
            W.Put(static_cast<std::uint64_t>(D.size()));
            for (const ZemString& Entry : D)
                W.PutString(Entry);
        }
    W.Put(S.VisibleTypes.has_value());
    if (S.VisibleTypes) {
        W.Put(S.VisibleTypes->Count());
        for (const std::int32_t Type : *S.VisibleTypes)
            W.Put(Type);
    }
    W.Put(S.RoutePoints.has_value());
    if (S.RoutePoints)
        W.PutPoints(*S.RoutePoints);
    W.Put(S.Count);
    W.Put(S.MaxID);
    W.Put(S.GlobalLeftTop);
    W.Put(S.GlobalWidthHeight);
}

void UnpackSide(std::size_t IDs, TZemStateReader& R, TZemDocumentState& S) {
    S.Objects.resize(IDs);
    for (TZemObjectState& O : S.Objects)
        if (R.Get<bool>()) {
            O.Position = R.Get<std::int32_t>();
            O.Object = TZemObject::ReadState(R);
        }
    if (R.Get<bool>())
        S.Settings = UnpackSettings(R);
    if (R.Get<bool>()) {
        S.Directories.emplace();
        for (TZemDirectory& D : *S.Directories) {
            D.resize(static_cast<std::size_t>(R.Get<std::uint64_t>()));
            for (ZemString& Entry : D)
                Entry = R.GetString();
        }
    }
    if (R.Get<bool>()) {
        S.VisibleTypes.emplace();
        for (std::int32_t n = R.Get<std::int32_t>(); n > 0; --n)
            S.VisibleTypes->Add(R.Get<std::int32_t>());
    }
    if (R.Get<bool>())
        S.RoutePoints = R.GetPoints();
    S.Count = R.Get<std::int32_t>();
    S.MaxID = R.Get<std::int32_t>();
    S.GlobalLeftTop = R.Get<TXYPoint>();
    S.GlobalWidthHeight = R.Get<TXYPoint>();
}

} // namespace

void PackStep(const TZemHistoryStep& Step, std::vector<std::byte>& Out) {
    Out.clear();
    TZemStateWriter W(Out);
    W.Put(static_cast<std::uint64_t>(Step.IDs.size()));
    W.PutBytes(Step.IDs.data(), Step.IDs.size() * sizeof(std::int32_t));
    PackSide(Step.Before, W);
    PackSide(Step.After, W);
}

TZemHistoryStep UnpackStep(std::span<const std::byte> Image) {
    TZemStateReader R(Image);
    TZemHistoryStep Step;
    Step.IDs.resize(static_cast<std::size_t>(R.Get<std::uint64_t>()));
    R.GetBytes(Step.IDs.data(), Step.IDs.size() * sizeof(std::int32_t));
    UnpackSide(Step.IDs.size(), R, Step.Before);
    UnpackSide(Step.IDs.size(), R, Step.After);
    return Step;
}

} // namespace zem
