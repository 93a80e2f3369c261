// The CSV reader against tables written with every quoting and line end feeds use, read through streams
// that hand out bytes in pieces of random size, so that records straddle every buffer boundary.
#include "import/ZemCsvReader.h"
#include "base/ZemErrors.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

using namespace zem;

namespace {

class TPieceStream final : public TByteStream {
public:
    TPieceStream(std::string Text, unsigned Seed) : FText(std::move(Text)), FRandom(Seed) {}
    std::size_t Read(char* Into, std::size_t Size) override {
        const std::size_t N = std::min({Size, FText.size() - FPos, std::size_t(FRandom() % 9 + 1)});
        std::copy_n(FText.data() + FPos, N, Into);
        FPos += N;
        return N;
    }
    std::uint64_t Size() const override { return FText.size(); }

private:
    std::string FText;
    std::size_t FPos = 0;
    std::mt19937 FRandom;
};

std::vector<std::vector<std::string>> ReadAll(const std::string& Text, unsigned Seed = 1,
                                              std::size_t Chunk = 1 << 20) {
    TPieceStream S(Text, Seed);
    TCsvReader R(S, "t.txt", Chunk);
    std::vector<std::vector<std::string>> Rows;
    while (R.Next()) {
        Rows.emplace_back();
        for (std::size_t I = 0; I < R.FieldCount(); ++I)
            Rows.back().emplace_back(R.Field(I));
    }
    return Rows;
}

std::string ErrorOf(const std::string& Text) {
    try {
        ReadAll(Text);
    } catch (const EZemError& E) {
        return E.what();
    }
    return "";
}

} // namespace

TEST(CsvReader, RandomTablesReadBackAsWritten) {
    std::mt19937 Random(7);
    const std::string Alphabet[] = {"a", "Я", ",", "\"", "\n", "\r\n", " ", "7", ".", "ё"};
    for (int Round = 0; Round < 300; ++Round) {
        std::vector<std::vector<std::string>> Rows(Random() % 6 + 1);
        std::string Text = Round % 3 == 0 ? "\xEF\xBB\xBF" : "";
        const char* Eol = Round % 2 ? "\r\n" : "\n";
        for (auto& Row : Rows) {
            Row.resize(Random() % 5 + 1);
            for (std::size_t F = 0; F < Row.size(); ++F) {
                std::string& V = Row[F];
                for (unsigned N = Random() % 6; N > 0; --N)
                    V += Alphabet[Random() % std::size(Alphabet)];
                // Spaces around a value are not part of it.
                while (!V.empty() && V.front() == ' ')
                    V.erase(0, 1);
                while (!V.empty() && V.back() == ' ')
                    V.pop_back();
                const bool MustQuote = V.find_first_of(",\"\r\n") != std::string::npos;
                if (MustQuote || Random() % 4 == 0) {
                    std::string Q = "\"";
                    for (char C : V)
                        Q += C == '"' ? std::string("\"\"") : std::string(1, C);
                    Text += (Random() % 5 == 0 ? " " : "") + Q + "\"";
                } else {
                    Text += V + (Random() % 5 == 0 ? "  " : "");
                }
                Text += F + 1 < Row.size() ? "," : "";
            }
            if (Row.size() == 1 && Row[0].empty())
                Row[0] = "x", Text += "x"; // a row of one empty field is a blank line
            Text += Eol;
            if (Random() % 7 == 0)
                Text += Eol; // blank lines are passed over
        }
        if (Random() % 2)
            Text.resize(Text.size() - std::string(Eol).size()); // no line end after the last row
        EXPECT_EQ(ReadAll(Text, Round, Round % 13 + 1), Rows) << "round " << Round;
    }
}

TEST(CsvReader, LinesCountBreaksInsideQuotes) {
    TPieceStream S("h\n\"a\nb\"\n\nc\r\nd\re\n", 3);
    TCsvReader R(S, "t.txt", 2);
    std::vector<std::uint64_t> Lines;
    while (R.Next())
        Lines.push_back(R.Line());
    EXPECT_EQ(Lines, (std::vector<std::uint64_t>{1, 2, 5, 6, 7}));
}

TEST(CsvReader, BrokenTablesAreRefusedWithFileAndLine) {
    EXPECT_EQ(ErrorOf("a,b\n1,\"open\n2,3\n"),
              "\"t.txt\", строка 2: кавычки, открытые здесь, не закрыты до конца файла");
    EXPECT_NE(ErrorOf("\xFF\xFE"
                      "a\0,\0b\0"),
              "");
    // A quote that never closes must not make the reader hold the whole file.
    std::string Long = "a\n\"" + std::string(3 * TCsvReader::kMaxRecordBytes, 'x');
    EXPECT_NE(ErrorOf(Long).find("длиннее"), std::string::npos);
}

TEST(CsvReader, HeaderFindsColumnsAndRefusesRepeats) {
    TPieceStream S("\xEF\xBB\xBF stop_id ,stop_name\n", 1);
    TCsvReader R(S, "stops.txt");
    TCsvHeader H(R);
    EXPECT_EQ(H.Find("stop_id"), 0);
    EXPECT_EQ(H.Find("stop_lat"), -1);
    EXPECT_THROW(H.Require("stop_lat"), EZemError);
    TPieceStream S2("a,b,a\n", 1);
    TCsvReader R2(S2, "x.txt");
    EXPECT_THROW(TCsvHeader{R2}, EZemError);
}
