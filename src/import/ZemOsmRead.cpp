#include "import/ZemOsmRead.h"

// GCC's string-overread check misreads libosmium's builders once they are inlined here.
#pragma GCC diagnostic push
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wstringop-overread"
#endif
#include <osmium/area/assembler.hpp>
#include <osmium/area/multipolygon_manager.hpp>
#include <osmium/handler.hpp>
#include <osmium/handler/node_locations_for_ways.hpp>
#include <osmium/index/map/flex_mem.hpp>
#include <osmium/index/map/sparse_mem_array.hpp>
#include <osmium/io/any_input.hpp>
#include <osmium/tags/tags_filter.hpp>
#include <osmium/visitor.hpp>
#pragma GCC diagnostic pop

#include <bzlib.h>
#include <zlib.h>

#include <cstring>
#include <string_view>
#include <unordered_set>

namespace zem {

namespace {

const char* const kPhaseRelations = "Чтение отношений";
const char* const kPhaseRead = "Чтение данных";

bool LooksLikeOsmXml(std::string_view Text) {
    // An OpenStreetMap XML file opens with its <osm> element, after an optional declaration.
    return Text.find("<osm") != std::string_view::npos &&
           (Text.substr(0, 5) == "<?xml" || Text.substr(0, 4) == "<osm" ||
            Text.substr(0, 3) == "\xEF\xBB\xBF");
}

std::string InflateHead(std::span<const std::uint8_t> Head, bool Bz2) {
    std::string Out(4096, '\0');
    if (Bz2) {
        bz_stream S{};
        if (BZ2_bzDecompressInit(&S, 0, 0) != BZ_OK)
            return {};
        S.next_in = reinterpret_cast<char*>(const_cast<std::uint8_t*>(Head.data()));
        S.avail_in = static_cast<unsigned>(Head.size());
        S.next_out = Out.data();
        S.avail_out = static_cast<unsigned>(Out.size());
        BZ2_bzDecompress(&S); // a cut stream stops with what it could give
        Out.resize(Out.size() - S.avail_out);
        BZ2_bzDecompressEnd(&S);
        return Out;
    }
    z_stream S{};
    if (inflateInit2(&S, 16 + MAX_WBITS) != Z_OK)
        return {};
    S.next_in = const_cast<Bytef*>(Head.data());
    S.avail_in = static_cast<uInt>(Head.size());
    S.next_out = reinterpret_cast<Bytef*>(Out.data());
    S.avail_out = static_cast<uInt>(Out.size());
    inflate(&S, Z_SYNC_FLUSH);
    Out.resize(Out.size() - S.avail_out);
    inflateEnd(&S);
    return Out;
}

const char* FormatName(TOsmFormat F) {
    switch (F) {
    case TOsmFormat::Pbf:
        return "pbf";
    case TOsmFormat::Xml:
        return "osm";
    case TOsmFormat::XmlGz:
        return "osm.gz";
    case TOsmFormat::XmlBz2:
        return "osm.bz2";
    }
    return "osm";
}

bool Inside(const TZemImportOptions& O, const osmium::Location& L) {
    return !O.BBox || O.BBox->Contains(GeoOf(L));
}

bool AnyInside(const TZemImportOptions& O, const TOsmPoints& P) {
    if (!O.BBox)
        return true;
    for (const auto& L : P)
        if (O.BBox->Contains(GeoOf(L)))
            return true;
    return false;
}

bool IsStopRole(std::string_view R) {
    return R == "stop" || R == "stop_entry_only" || R == "stop_exit_only" || R == "forward:stop" ||
           R == "backward:stop";
}
bool IsPlatformRole(std::string_view R) {
    return R == "platform" || R == "platform_entry_only" || R == "platform_exit_only";
}

// Pass one: the routes and what they need.
class TRouteCollector : public osmium::handler::Handler {
public:
    explicit TRouteCollector(TOsmData& D) : FData(D) {}

    void relation(const osmium::Relation& R) {
        ++FData.Counts.Relations;
        const char* Type = R.tags().get_value_by_key("type");
        if (!Type || std::strcmp(Type, "route") != 0) {
            if (!Type || (std::strcmp(Type, "multipolygon") != 0 && std::strcmp(Type, "boundary") != 0))
                ++FData.Counts.UnusedRelations;
            return;
        }
        const char* Kind = RouteTransportName(R.tags().get_value_by_key("route"));
        if (!Kind) {
            ++FData.Counts.OtherRoutes;
            return;
        }
        TOsmRoute Route;
        Route.ID = R.id();
        Route.TransportName = Kind;
        auto Tag = [&R](const char* K) {
            const char* V = R.tags().get_value_by_key(K);
            return V ? std::string(V) : std::string();
        };
        Route.Ref = Tag("ref");
        Route.Name = Tag("name");
        Route.Colour = Tag("colour");
        Route.OneWay = Tag("public_transport:version") == "2";
        for (const auto& M : R.members()) {
            const std::string_view Role(M.role());
            TOsmRouteMember Member;
            Member.Ref = M.ref();
            Member.IsWay = M.type() == osmium::item_type::way;
            if (IsStopRole(Role))
                Member.Role = TOsmRouteMember::Stop;
            else if (IsPlatformRole(Role))
                Member.Role = TOsmRouteMember::Platform;
            else if (Member.IsWay && (Role.empty() || Role == "forward" || Role == "backward"))
                Member.Role = TOsmRouteMember::Path;
            else
                continue;
            if (M.type() == osmium::item_type::node)
                FData.StopNodes.emplace(M.ref(), osmium::Location{});
            else if (Member.IsWay)
                FData.RouteWays.emplace(M.ref(), TOsmPoints{});
            else
                continue;
            Route.Members.push_back(Member);
        }
        FData.Routes.push_back(std::move(Route));
    }

private:
    TOsmData& FData;
};

TOsmArea AreaOf(const osmium::Area& A, TOsmClass C) {
    TOsmArea Out;
    Out.Class = C;
    if (const char* N = A.tags().get_value_by_key("name"))
        Out.Name = N;
    if (C == TOsmClass::Building) {
        Out.Address = AddressOf(A.tags());
        if (const char* L = A.tags().get_value_by_key("building:levels")) {
            char* End = nullptr;
            const double V = std::strtod(L, &End);
            if (End != L && V > 0 && V < 200)
                Out.Levels = static_cast<float>(V);
        }
    }
    for (const auto& Outer : A.outer_rings()) {
        TOsmPoints Ring;
        for (const auto& N : Outer)
            Ring.push_back(N.location());
        Out.Rings.push_back(std::move(Ring));
        Out.Inner.push_back(false);
        for (const auto& InnerRing : A.inner_rings(Outer)) {
            TOsmPoints R;
            for (const auto& N : InnerRing)
                R.push_back(N.location());
            Out.Rings.push_back(std::move(R));
            Out.Inner.push_back(true);
        }
    }
    return Out;
}

// Pass two: nodes, ways and the areas the assembler hands over.
class TFeatureCollector : public osmium::handler::Handler {
public:
    TFeatureCollector(TOsmData& D, const TZemImportOptions& O) : FData(D), FOptions(O) {}

    void node(const osmium::Node& N) {
        ++FData.Counts.Nodes;
        const osmium::Location L = N.location();
        if (!L.valid()) {
            ++FData.Counts.BadLocations;
            return;
        }
        // A stop outside the chosen area stays without a place: its route ends before it.
        if (auto It = FData.StopNodes.find(N.id()); It != FData.StopNodes.end() && Inside(FOptions, L))
            It->second = L;
        if (N.tags().has_key("addr:housenumber") && !N.tags().has_key("building")) {
            if (!Inside(FOptions, L)) {
                ++FData.Counts.OutsideBox;
                return;
            }
            FData.AddressNodes.push_back({L, AddressOf(N.tags())});
        }
    }

    void way(const osmium::Way& W) {
        ++FData.Counts.Ways;
        const auto Route = FData.RouteWays.find(W.id());
        const TOsmClass C = LineClass(W.tags());
        if (C == TOsmClass::None && Route == FData.RouteWays.end())
            return;
        TOsmPoints P;
        P.reserve(W.nodes().size());
        for (const auto& NR : W.nodes()) {
            const osmium::Location L = NR.location();
            if (L.valid() && (P.empty() || P.back() != L))
                P.push_back(L);
        }
        if (Route != FData.RouteWays.end())
            Route->second = P;
        if (C == TOsmClass::None)
            return;
        if (P.size() < 2) {
            ++FData.Counts.ShortWays;
            return;
        }
        if (!AnyInside(FOptions, P)) {
            ++FData.Counts.OutsideBox;
            return;
        }
        TOsmLine Line;
        Line.Class = C;
        if (const char* N = W.tags().get_value_by_key("name"))
            Line.Name = N;
        Line.Points = std::move(P);
        FData.Lines.push_back(std::move(Line));
    }

    void area(const osmium::Area& A) {
        if (!A.from_way())
            ++FData.Counts.MultipolygonsMade;
        const TOsmClass C = AreaClass(A.tags());
        if (C == TOsmClass::None)
            return;
        TOsmArea Out = AreaOf(A, C);
        if (Out.Rings.empty())
            return;
        if (!AnyInside(FOptions, Out.Rings[0])) {
            ++FData.Counts.OutsideBox;
            return;
        }
        FData.Areas.push_back(std::move(Out));
    }

private:
    TOsmData& FData;
    const TZemImportOptions& FOptions;
};

using TPosIndex = osmium::index::map::FlexMem<osmium::unsigned_object_id_type, osmium::Location>;
using TNegIndex = osmium::index::map::SparseMemArray<osmium::unsigned_object_id_type, osmium::Location>;

void ReadPasses(const osmium::io::File& File, const TZemImportOptions& Options, TZemImportProgress& Progress,
                TOsmData& Data) {
    osmium::TagsFilter Filter{false};
    for (const char* const* K = kAreaKeys; *K; ++K)
        Filter.add_rule(true, osmium::TagMatcher{*K});
    osmium::area::Assembler::config_type Config;
    Config.create_empty_areas = false;
    osmium::area::MultipolygonManager<osmium::area::Assembler> Areas{Config, Filter};

    TRouteCollector Routes(Data);
    {
        osmium::io::Reader Reader{File, osmium::osm_entity_bits::relation};
        while (osmium::memory::Buffer Buffer = Reader.read()) {
            osmium::apply(Buffer, Areas, Routes);
            const std::size_t Size = Reader.file_size();
            Progress.Report(kPhaseRelations,
                            Size ? static_cast<std::int32_t>(Reader.offset() * 100 / Size) : 0);
        }
        Reader.close();
    }
    Areas.prepare_for_lookup();
    Data.Counts.MultipolygonsTried = static_cast<std::int64_t>(Areas.relations_database().count_relations());

    TPosIndex Pos;
    TNegIndex Neg;
    osmium::handler::NodeLocationsForWays<TPosIndex, TNegIndex> Locations{Pos, Neg};
    Locations.ignore_errors(); // an extract lacks the nodes beyond its edge
    TFeatureCollector Features(Data, Options);
    osmium::io::Reader Reader{File, osmium::osm_entity_bits::nwr};
    auto AreaHandler =
        Areas.handler([&Features](osmium::memory::Buffer&& Buffer) { osmium::apply(Buffer, Features); });
    while (osmium::memory::Buffer Buffer = Reader.read()) {
        osmium::apply(Buffer, Locations, Features, AreaHandler);
        const std::size_t Size = Reader.file_size();
        Progress.Report(kPhaseRead, Size ? static_cast<std::int32_t>(Reader.offset() * 100 / Size) : 0);
    }
    Reader.close();
    AreaHandler.flush();
    Features.flush();
}

} // namespace

std::optional<TOsmFormat> RecogniseOsmContent(std::span<const std::uint8_t> Head) {
    if (Head.size() >= 15 && Head[4] == 0x0A && Head[5] == 9 &&
        std::memcmp(Head.data() + 6, "OSMHeader", 9) == 0)
        return TOsmFormat::Pbf;
    if (Head.size() >= 3 && Head[0] == 0x1F && Head[1] == 0x8B) {
        if (LooksLikeOsmXml(InflateHead(Head, false)))
            return TOsmFormat::XmlGz;
        return std::nullopt;
    }
    if (Head.size() >= 3 && Head[0] == 'B' && Head[1] == 'Z' && Head[2] == 'h') {
        if (LooksLikeOsmXml(InflateHead(Head, true)))
            return TOsmFormat::XmlBz2;
        return std::nullopt;
    }
    const std::string_view Text(reinterpret_cast<const char*>(Head.data()), Head.size());
    if (LooksLikeOsmXml(Text))
        return TOsmFormat::Xml;
    return std::nullopt;
}

namespace {

void ReadFile(const osmium::io::File& File, const std::string& Name, const TZemImportOptions& Options,
              TZemImportProgress& Progress, TOsmData& Data) {
    try {
        ReadPasses(File, Options, Progress, Data);
    } catch (const EZemError&) {
        throw;
    } catch (const osmium::xml_error& E) {
        throw EZemError(Name + ": ошибка в данных OpenStreetMap, строка " + std::to_string(E.line) + ", позиция " +
                        std::to_string(E.column) + " (" + E.error_string + ")");
    } catch (const std::bad_alloc&) {
        throw EZemError(Name + ": недостаточно памяти для импорта");
    } catch (const std::exception& E) {
        throw EZemError(Name + ": файл повреждён, обрезан или не является данными OpenStreetMap (" + E.what() +
                        ")");
    }
    if (Data.Counts.Nodes == 0)
        throw EZemError(Name + ": в файле нет ни одной точки OpenStreetMap");
}

} // namespace

void ReadOsm(const std::filesystem::path& Path, TOsmFormat Format, const TZemImportOptions& Options,
             TZemImportProgress& Progress, TOsmData& Data) {
    const std::string Name = "\"" + Path.string() + "\"";
    std::unique_ptr<osmium::io::File> File;
    try {
        File = std::make_unique<osmium::io::File>(Path.string(), FormatName(Format));
    } catch (const std::exception& E) {
        throw EZemError(Name + ": " + E.what());
    }
    ReadFile(*File, Name, Options, Progress, Data);
}

void ReadOsmMemory(std::string_view Bytes, const char* Format, const std::string& Name,
                   const TZemImportOptions& Options, TZemImportProgress& Progress, TOsmData& Data) {
    const osmium::io::File File{Bytes.data(), Bytes.size(), Format};
    ReadFile(File, Name, Options, Progress, Data);
}

} // namespace zem
