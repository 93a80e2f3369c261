#pragma once
// The one list of the map's stored settings. The map file's header, the undo history's settings record,
// the text export's options block and the command-line dump are all driven by it, so a new setting is
// declared in two places: its field (with its default) in model/ZemMap.h, and its row here.
//
// A row names the setting, points at its field and says where it goes:
//  - kFile: into the map file's header, in the order of this list (which the file format fixes), and so
//    also into the command-line dump, in the same order;
//  - kCounted: counted from the objects; loading counts it again from the records instead of keeping it;
//  - kBits: the text export writes one line per set bit rather than the value;
//  - ExportLine: its place in the text export's options block (1, 2, ...), 0 when not exported.
// An undo step puts back exactly the settings whose field is declared in TZemDocumentSettings or
// TZemNetworkSettings: the struct that holds the field decides, so it cannot disagree with the record.
#include "model/ZemMap.h"

#include <cstdint>
#include <tuple>
#include <type_traits>

namespace zem {

enum TZemSettingFlag : std::uint8_t {
    kFile = 1,
    kCounted = 2,
    kBits = 4,
};

// The part of the map that holds a field of struct TPart.
template <class TPart, class TMap> decltype(auto) SettingsPartOf(TMap& Map) {
    if constexpr (std::is_base_of_v<TPart, TZemDocument>)
        return (Map.Doc);
    else if constexpr (std::is_base_of_v<TPart, TZemNetworkState>)
        return (Map.Net);
    else {
        static_assert(std::is_same_v<TPart, TZemViewState>, "a stored setting lives in Doc, Net or View");
        return (Map.View);
    }
}

template <class TPart, class T> struct TZemSetting {
    using Part = TPart;
    using Type = T;
    // Whether an undo step puts the setting back.
    static constexpr bool kUndone =
        std::is_same_v<TPart, TZemDocumentSettings> || std::is_same_v<TPart, TZemNetworkSettings>;

    const char* Name;
    T TPart::*Field;
    std::uint8_t Flags;
    std::uint8_t ExportLine;

    constexpr bool Has(TZemSettingFlag F) const { return (Flags & F) != 0; }
    // The field in a map (TZemMap) or, for an undone setting, in a record derived from its struct.
    template <class TMap> constexpr decltype(auto) In(TMap& Map) const {
        return (SettingsPartOf<TPart>(Map).*Field);
    }
};

template <class TPart, class T> TZemSetting(const char*, T TPart::*, int, int) -> TZemSetting<TPart, T>;

// clang-format off
inline constexpr std::tuple kStoredSettings{
    //          name                       field                                            flags             export line
    TZemSetting{"Count",                   &TZemDocument::Count,                            kFile | kCounted, 4},
    TZemSetting{"MaxID",                   &TZemDocument::MaxID,                            kFile | kCounted, 2},
    TZemSetting{"Option",                  &TZemDocumentSettings::Option,                   kFile | kBits,    1},
    TZemSetting{"MinScaleAddress",         &TZemDocumentSettings::MinScaleAddress,          kFile,            15},
    TZemSetting{"MinObjectView",           &TZemDocumentSettings::MinObjectView,            kFile,            0},
    TZemSetting{"Pseudo3DAngle",           &TZemDocumentSettings::Pseudo3DAngle,            kFile,            0},
    TZemSetting{"ShowTransportNet",        &TZemNetworkSettings::ShowTransportNet,          kFile,            0},
    TZemSetting{"ShowTransportDirections", &TZemNetworkSettings::ShowTransportDirections,   kFile,            0},
    TZemSetting{"LeftTop",                 &TZemViewState::LeftTop,                         kFile,            10},
    TZemSetting{"ViewWidthHeight",         &TZemViewState::ViewWidthHeight,                 kFile,            0},
    TZemSetting{"BackColor",               &TZemDocumentSettings::BackColor,                kFile,            3},
    TZemSetting{"Scale",                   &TZemViewState::Scale,                           kFile,            9},
    TZemSetting{"MaxScale",                &TZemViewState::MaxScale,                        kFile,            11},
    TZemSetting{"DocumentName",            &TZemDocumentSettings::DocumentName,             kFile,            0},
    TZemSetting{"DirectLineX",             &TZemDocumentSettings::DirectLineX,              kFile,            6},
    TZemSetting{"DirectLineY",             &TZemDocumentSettings::DirectLineY,              kFile,            7},
    TZemSetting{"ShowGrid",                &TZemDocumentSettings::ShowGrid,                 kFile,            0},
    TZemSetting{"DirectLineColor",         &TZemDocumentSettings::DirectLineColor,          kFile,            5},
    TZemSetting{"GlobalLeftTop",           &TZemViewState::GlobalLeftTop,                   kFile,            12},
    TZemSetting{"GlobalWidthHeight",       &TZemViewState::GlobalWidthHeight,               kFile,            13},
    TZemSetting{"MeasureStr",              &TZemDocumentSettings::MeasureStr,               kFile,            0},
    TZemSetting{"MeasureScale",            &TZemDocumentSettings::MeasureScale,             kFile,            14},
    TZemSetting{"Compression",             &TZemDocumentSettings::Compression,              kFile,            0},
    TZemSetting{"ScaleStep",               &TZemViewState::ScaleStep,                       kFile,            0},
    TZemSetting{"ShowUndefinedRoutes",     &TZemNetworkSettings::ShowUndefinedRoutes,       kFile,            0},
    TZemSetting{"MaxPenWidth",             &TZemDocument::MaxPenWidth,                      0,                8},
};
// clang-format on

// The type of a row's value, for the generic lambdas that visit rows.
template <class TRow> using TZemSettingType = typename std::remove_cvref_t<TRow>::Type;

// Calls Visit(Row) for every row, in the list's order.
template <class F> constexpr void ForEachSetting(F&& Visit) {
    std::apply([&](const auto&... Row) { (Visit(Row), ...); }, kStoredSettings);
}

// The same for the rows an undo step puts back.
template <class F> constexpr void ForEachUndoneSetting(F&& Visit) {
    ForEachSetting([&](const auto& Row) {
        if constexpr (std::remove_cvref_t<decltype(Row)>::kUndone)
            Visit(Row);
    });
}

// The text export's options block has lines 1 ... kExportLines, each taken by one row.
inline constexpr int kExportLines = [] {
    int Max = 0;
    ForEachSetting([&](const auto& Row) { Max = Row.ExportLine > Max ? Row.ExportLine : Max; });
    for (int Line = 1; Line <= Max; ++Line) {
        int Rows = 0;
        ForEachSetting([&](const auto& Row) { Rows += Row.ExportLine == Line; });
        if (Rows != 1)
            return -1;
    }
    return Max;
}();
static_assert(kExportLines > 0, "each line of the text export's options block is taken by one row");

} // namespace zem
