#include "transport/ZemNetworkGraph.h"

#include "model/ZemObject.h"

#include <charconv>
#include <cmath>

void TZemNetworkGraph::Clear() {
    Vertices.Clear();
    Tables.Clear();
    Tables.TrimCapacity();
}

long double zem::SegmentLength(const TZemObject& Segment) {
    const TZemXYArray& P = Segment.Points();
    long double Sum = 0.0L;
    for (std::int32_t i = 1; i < P.Count(); ++i) {
        const long double dx = static_cast<long double>(P[i].X) - P[i - 1].X;
        const long double dy = static_cast<long double>(P[i].Y) - P[i - 1].Y;
        Sum += std::sqrt(dx * dx + dy * dy);
    }
    return Sum;
}

std::string zem::FormatFloat(long double Value) {
    char Buf[64];
    auto [End, Ec] = std::to_chars(Buf, Buf + sizeof Buf, Value, std::chars_format::general, 15);
    if (Ec != std::errc())
        return "0";
    std::string S(Buf, End);
    const size_t E = S.find('e');
    if (E == std::string::npos)
        return S;
    // "1.5e+20" -> "1.5E20", "1e-07" -> "1E-7".
    std::string Mantissa = S.substr(0, E);
    std::string Exponent = S.substr(E + 1);
    bool Negative = false;
    if (!Exponent.empty() && (Exponent[0] == '+' || Exponent[0] == '-')) {
        Negative = Exponent[0] == '-';
        Exponent.erase(0, 1);
    }
    while (Exponent.size() > 1 && Exponent[0] == '0')
        Exponent.erase(0, 1);
    return Mantissa + "E" + (Negative ? "-" : "") + Exponent;
}
