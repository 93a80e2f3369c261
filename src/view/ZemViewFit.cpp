#include "view/ZemViewFit.h"

#include "model/ZemMap.h"

#include <algorithm>
#include <cmath>

namespace zem {

std::optional<TXYRect> PointsBox(const TZemMap& Map, const TIntegerList& IDs) {
    std::optional<TXYRect> Box;
    for (std::int32_t ID : IDs) {
        if (!Map.ObjectExists(ID))
            continue;
        const TZemObject& O = Map.ObjectByID(ID);
        for (std::int32_t i = 0; i < O.PointCount(); ++i) {
            const TXYPoint P = O.Point(i);
            if (!std::isfinite(P.X) || !std::isfinite(P.Y))
                continue;
            if (!Box)
                Box = TXYRect{P.X, P.Y, P.X, P.Y};
            Box->Left = std::min(Box->Left, P.X);
            Box->Top = std::min(Box->Top, P.Y);
            Box->Right = std::max(Box->Right, P.X);
            Box->Bottom = std::max(Box->Bottom, P.Y);
        }
    }
    return Box;
}

bool BringIntoView(TZemMap& Map, const TXYRect& Box, std::int32_t Margin) {
    const double W = Map.Width(), H = Map.Height();
    const TZemViewState& V = Map.View;
    if (W <= 2.0 * Margin || H <= 2.0 * Margin || !(V.Scale > 0) || !(V.ViewWidthHeight.X > 0) ||
        !(V.ViewWidthHeight.Y > 0))
        return false;
    // The window and its margins in world units, as the view stands.
    const double MX = Margin * static_cast<double>(V.ViewWidthHeight.X) / W;
    const double MY = Margin * static_cast<double>(V.ViewWidthHeight.Y) / H;
    const double Left = V.LeftTop.X, Top = V.LeftTop.Y;
    const double Right = Left + V.ViewWidthHeight.X, Bottom = Top + V.ViewWidthHeight.Y;
    if (Box.Left >= Left + MX && Box.Right <= Right - MX && Box.Top >= Top + MY && Box.Bottom <= Bottom - MY)
        return false;
    const double BW = static_cast<double>(Box.Right) - Box.Left,
                 BH = static_cast<double>(Box.Bottom) - Box.Top;
    // The scale at which the box fills the window inside its margins, in either direction.
    double Fit = static_cast<double>(V.Scale);
    if (BW > 0)
        Fit = std::min(Fit, (W - 2.0 * Margin) * 100.0 / BW);
    if (BH > 0)
        Fit = std::min(Fit, (H - 2.0 * Margin) * 100.0 / BH);
    const TXYPoint Centre{static_cast<float>((static_cast<double>(Box.Left) + Box.Right) / 2),
                          static_cast<float>((static_cast<double>(Box.Top) + Box.Bottom) / 2)};
    if (!std::isfinite(Centre.X) || !std::isfinite(Centre.Y) || !(Fit > 0) || !std::isfinite(Fit))
        return false;
    Map.SetView(Centre, static_cast<float>(Fit));
    return true;
}

} // namespace zem
