#pragma once
// TFillStyleComboBox: the brush-style picker of the inspector. Eight owner-drawn swatches, one per brush
// style from solid to diagonal cross; the item texts are never shown.
#include <QComboBox>

#include <cstdint>

namespace zem {

// Brush styles as objects store them.
enum TBrushStyle : std::uint8_t {
    bsSolid = 0,
    bsClear = 1,
    bsHorizontal = 2,
    bsVertical = 3,
    bsFDiagonal = 4,
    bsBDiagonal = 5,
    bsCross = 6,
    bsDiagCross = 7,
};

class TFillStyleComboBox : public QComboBox {
    Q_OBJECT
public:
    explicit TFillStyleComboBox(QWidget* Parent);

    static constexpr int kItemHeight = 17;
    static constexpr int kControlHeight = 23;

    TBrushStyle FillStyle() const { return FFillStyle; }
    // Ignores styles above MaxFillStyle; otherwise selects the item without raising changed.
    void SetFillStyle(int Value);
    TBrushStyle MaxFillStyle() const { return FMaxFillStyle; }
    // Rebuilds the items and applies FillStyle again.
    void SetMaxFillStyle(TBrushStyle Value);

    // Draws the swatch of one style into R, on Background (the item's own background).
    static void DrawItem(QPainter& P, const QRect& R, int Index, const QColor& Background);

signals:
    // Raised after the user picked a style, never when code sets one.
    void changed();

protected:
    void paintEvent(QPaintEvent* Event) override;

private:
    void RebuildItems();
    void Picked(int Index);

    TBrushStyle FFillStyle = bsSolid;
    TBrushStyle FMaxFillStyle = bsDiagCross;
};

} // namespace zem
