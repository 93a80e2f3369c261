// What a user sees when a map cannot be read: the message comes over the map as far as it was read, with
// the progress already ended, and an icon library refused for an oversized icon says which and why.
#include "images/ZemIcoFile.h"
#include "images/ZemIcoList.h"
#include "model/ZemMap.h"
#include "persistence/ZemBinaryStream.h"
#include "platform/ZemHeadlessHost.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

using namespace zem;

namespace {

void Put32(std::vector<std::uint8_t>& V, std::uint32_t X) {
    for (int i = 0; i < 4; ++i)
        V.push_back(static_cast<std::uint8_t>(X >> (8 * i)));
}

// An ICO file of one 1 x 1 32-bit image.
std::vector<std::uint8_t> TinyIco() {
    std::vector<std::uint8_t> F = {0, 0, 1, 0, 1, 0, 1, 1, 0, 0, 1, 0, 32, 0};
    std::vector<std::uint8_t> Dib;
    Put32(Dib, 40);
    Put32(Dib, 1);
    Put32(Dib, 2);
    Dib.insert(Dib.end(), {1, 0, 32, 0});
    Dib.resize(40, 0);
    Put32(Dib, 0x00FF0000); // the pixel
    Put32(Dib, 0);          // the AND mask row
    Put32(F, static_cast<std::uint32_t>(Dib.size()));
    Put32(F, 22);
    F.insert(F.end(), Dib.begin(), Dib.end());
    return F;
}

// The content of a map file's frame, and a file made of a content.
std::vector<std::uint8_t> ContentOf(const std::vector<std::uint8_t>& File) {
    TBinaryReader R;
    EXPECT_TRUE(R.LoadFromStream(std::span(File).subspan(64)));
    R.Reset();
    std::vector<std::uint8_t> C(static_cast<std::size_t>(R.Size()));
    R.ReadBytes(C.data(), R.Size());
    return C;
}

std::vector<std::uint8_t> FileOf(const std::vector<std::uint8_t>& Content) {
    TBinaryWriter W(0);
    W.WriteBytes(Content.data(), static_cast<std::int32_t>(Content.size()));
    std::vector<std::uint8_t> File(64, ' ');
    W.SaveToStream(File, 0);
    return File;
}

} // namespace

TEST(MapLoadFailure, TheMessageComesAfterTheProgressEndedAndTheMapWasDrawn) {
    HeadlessHost Host;
    TZemMap Map(Host);
    TZemObject O;
    O.AddPoints(std::vector<TXYPoint>{{10, 10}, {90, 90}});
    Map.AddObject(O);
    Map.AddObject(O);
    auto File = Map.SaveToBytes();
    File[File.size() - 20] ^= 0x5A; // inside the last record

    HeadlessHost Host2;
    TZemMap Loaded(Host2);
    auto Log = std::make_shared<std::vector<std::string>>();
    Host2.SetTrace(Log, "map");
    Loaded.OnMapProgress = [&](TZemMap&, std::int32_t, TStage S, const std::string&) {
        Log->push_back("progress." + std::to_string(S));
    };
    EXPECT_FALSE(Loaded.LoadFromBytes(File));
    ASSERT_EQ(Host2.Messages.size(), 1u);
    const auto Message = std::find(Log->begin(), Log->end(), "map.message");
    ASSERT_NE(Message, Log->end());
    EXPECT_EQ(Message + 1, Log->end()); // nothing after it: the frame and the progress came first
    EXPECT_NE(std::find(Log->begin(), Message, "map.present"), Message);
    EXPECT_EQ(*std::find_if(std::make_reverse_iterator(Message), Log->rend(),
                            [](const std::string& S) { return S.starts_with("progress."); }),
              "progress.2");
}

TEST(MapLoadFailure, AnOversizedIconIsRefusedWithItsIndexItsSizeAndTheLimit) {
    HeadlessHost Host;
    TZemMap Map(Host);
    const auto Ico = TinyIco();
    const TZemIcon Icon(Ico);
    Map.Doc.Icons->Add(&Icon);
    Map.Doc.Icons->Add(nullptr);
    Map.Doc.Icons->Add(&Icon);
    auto Content = ContentOf(Map.SaveToBytes());
    // The third icon (index 2) claims 2048 x 2048 pixels.
    const std::vector<std::uint8_t> Header = {40, 0, 0, 0, 1, 0, 0, 0, 2, 0, 0, 0};
    auto At = std::search(Content.begin(), Content.end(), Header.begin(), Header.end());
    At = std::search(At + 1, Content.end(), Header.begin(), Header.end());
    ASSERT_NE(At, Content.end());
    const std::vector<std::uint8_t> Large = {0, 8, 0, 0, 0, 16, 0, 0};
    std::copy(Large.begin(), Large.end(), At + 4);

    HeadlessHost Host2;
    TZemMap Loaded(Host2);
    EXPECT_FALSE(Loaded.LoadFromBytes(FileOf(Content)));
    ASSERT_EQ(Host2.Messages.size(), 1u);
    EXPECT_EQ(Host2.Messages[0],
              "Значок с индексом 2 в библиотеке значков слишком велик: 2048 x 2048 точек, а "
              "допустимо не больше 1024 x 1024 точек.");
    EXPECT_EQ(Loaded.Doc.Icons->Count(), 2); // the icons before it stay, as everything read does
}
