// The two library dialogs: what differs between pictures and icons.
#include "base/ZemErrors.h"
#include "images/ZemBmpList.h"
#include "images/ZemIcoList.h"
#include "images/ZemLibraryFiles.h"
#include "model/ZemMap.h"
#include "ui/ZemLibraryDialog.h"

#include <algorithm>

namespace zem {

namespace {

// Both take BMP, PNG and ICO files: the file dialog opens on all of them, each kind can be picked alone.
constexpr auto kBmp = "*.bmp (*.bmp *.BMP)";
constexpr auto kPng = "*.png (*.png *.PNG)";
constexpr auto kIco = "*.ico (*.ico *.ICO)";
constexpr auto kAll = "Все рисунки (*.bmp *.png *.ico *.BMP *.PNG *.ICO)";

QString Filters(std::initializer_list<const char*> Items) {
    QStringList L;
    for (const char* I : Items)
        L << QString::fromUtf8(I);
    return L.join(QStringLiteral(";;"));
}

// The picture's pixels as Qt sees them, without a copy: the entry outlives the paint that uses it.
QImage Wrap(const TZemImage& Picture) {
    if (Picture.Empty())
        return {};
    return QImage(reinterpret_cast<const uchar*>(Picture.Pixels.data()), Picture.Width, Picture.Height,
                  Picture.Width * 4, QImage::Format_ARGB32);
}

std::size_t PixelsOf(const TZemImage& I) {
    return static_cast<std::size_t>(I.Width) * static_cast<std::size_t>(I.Height);
}

const TZemImage& PictureOf(const TZemImage& I) {
    return I;
}
const TZemImage& PictureOf(const TZemIcon& I) {
    return I.Image();
}

// A library whose pictures hold more pixels than its reader takes could not be opened again once saved.
template <class TEntries> void CheckBudget(const TEntries& Have, const TEntries& Read, std::size_t Budget) {
    std::size_t Total = 0;
    for (const TEntries* L : {&Have, &Read})
        for (const auto& E : *L)
            if (E)
                Total += PixelsOf(PictureOf(*E));
    if (Total > Budget)
        throw EZemError("Библиотека не может вместить эти рисунки: все её рисунки вместе могут занимать не "
                        "больше " +
                        std::to_string(Budget) + " точек, а было бы " + std::to_string(Total) + ".");
}

} // namespace

// ---- What both share ----

template <class TEntry> QImage TZemLibraryDialogOf<TEntry>::Preview(std::int32_t Index) const {
    const auto& E = FEntries[static_cast<std::size_t>(Index)];
    return E ? Wrap(PictureOf(*E)) : QImage();
}

template <class TEntry>
void TZemLibraryDialogOf<TEntry>::ReadFiles(const std::vector<std::string>& FileNames, std::int32_t At) {
    TZemLibraryEntries<TEntry> Read;
    for (const std::string& F : FileNames)
        Read.push_back(std::make_shared<const TEntry>(FLibrary.Read(F)));
    CheckBudget(FEntries, Read, FLibrary.MaxPixels);
    FEntries.insert(FEntries.begin() + At, Read.begin(), Read.end());
}

template <class TEntry> QString TZemLibraryDialogOf<TEntry>::Describe(std::int32_t Index) const {
    const QString Noun = QString::fromUtf8(FLibrary.Noun);
    const auto& E = FEntries[static_cast<std::size_t>(Index)];
    if (!E || PictureOf(*E).Empty())
        return QStringLiteral("%1 %2 из %3: пусто").arg(Noun).arg(Index + 1).arg(EntryCount());
    return QStringLiteral("%1 %2 из %3: %4 × %5 точек") // counted from 1, as people count
        .arg(Noun)
        .arg(Index + 1)
        .arg(EntryCount())
        .arg(PictureOf(*E).Width)
        .arg(PictureOf(*E).Height);
}

// ---- Pictures ----

TfrmZemBitamapDlg::TfrmZemBitamapDlg(TZemMap& Map, QWidget* Parent)
    : TZemLibraryDialogOf(
          Map, Parent, QStringLiteral("Библиотека картинок"), Filters({kAll, kBmp, kPng, kIco}),
          QStringLiteral("bmp"),
          {ReadLibraryPicture, TBmpList::kMaxLibraryPixels,
           [](const TZemMap& M) -> const TZemPictureEntries& { return M.Doc.Bitmaps->Snapshot(); },
           [](TZemMap& M, TZemPictureEntries E) { M.SetPictureEntries(std::move(E)); }, "Рисунок",
           "рисунок"}) {
    setObjectName(QStringLiteral("frmZemBitamapDlg"));
}

int TfrmZemBitamapDlg::EntryHeight() const {
    // As high as the tallest picture; 32 while there is none.
    int Height = 0;
    for (const auto& E : FEntries)
        if (E)
            Height = std::max(Height, E->Height);
    return Height > 0 ? Height : 32;
}

QRect TfrmZemBitamapDlg::PictureRect(const QRect& Item, QSize Size) const {
    // Unscaled, centred.
    return {Item.left() + Item.width() / 2 - Size.width() / 2,
            Item.top() + Item.height() / 2 - Size.height() / 2, Size.width(), Size.height()};
}

// ---- Icons ----

TfrmZemIconDlg::TfrmZemIconDlg(TZemMap& Map, QWidget* Parent)
    : TZemLibraryDialogOf(Map, Parent, QStringLiteral("Библиотека иконок"), Filters({kAll, kIco, kBmp, kPng}),
                          QStringLiteral("ico"),
                          {ReadLibraryIcon, TIconList::kMaxLibraryPixels,
                           [](const TZemMap& M) -> const TZemIconEntries& { return M.Doc.Icons->Snapshot(); },
                           [](TZemMap& M, TZemIconEntries E) { M.SetIconEntries(std::move(E)); }, "Иконка",
                           "иконку"}) {
    setObjectName(QStringLiteral("frmZemIconDlg"));
}

int TfrmZemIconDlg::EntryHeight() const {
    return 36;
}

QRect TfrmZemIconDlg::PictureRect(const QRect& Item, QSize) const {
    // The 32 x 32 cell the map draws every icon in, centred across and two pixels down.
    return {Item.left() + Item.width() / 2 - 16, Item.top() + 2, 32, 32};
}

} // namespace zem
