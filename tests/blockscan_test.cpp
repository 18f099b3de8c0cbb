// The vector scan of a block against a plain search, over lengths and
// places that cross the 16-, 32- and 64-byte steps.
#include "convert/blockscan.h"

#include <gtest/gtest.h>

#include <string>

namespace cdb2xls::test {
namespace {

std::size_t oderKeins(std::size_t stelle) { return stelle == std::string::npos ? Blockscan::kKeins : stelle; }

// Just past the third comma in [ab, bis), searched byte by byte.
std::size_t hinterDemDrittenKommaEinfach(const std::string& text, std::size_t ab, std::size_t bis) {
    int kommas = 0;
    for (std::size_t i = ab; i < bis; ++i) {
        if (text[i] == ',' && ++kommas == 3) return i + 1;
    }
    return Blockscan::kKeins;
}

// Every way of scanning this processor has (SSE2, and AVX2 where there is).
class Blockscan_ : public testing::TestWithParam<Blockscan::Verfahren> {};

TEST_P(Blockscan_, WieEineEinfacheSuche) {
    for (std::size_t laenge = 0; laenge <= 200; ++laenge) {
        for (std::size_t fall = 0; fall < 8; ++fall) {
            // Every `schritt`-th byte a comma or a CR by turns, or a comma
            // alone: then the third comma from a place may lie far beyond it.
            const std::size_t schritt = 1 + fall / 2 * 23;
            const bool nurKommas = fall % 2 == 1;
            std::string text(laenge, 'a');
            for (std::size_t i = schritt - 1; i < laenge; i += schritt) text[i] = nurKommas || i % 2 == 0 ? ',' : '\r';
            if (laenge > 3) text[laenge / 2] = '\xac';  // differs from ',' only in its high bit
            Blockscan scan(GetParam());
            scan.scannen(text.data(), text.size());
            for (std::size_t ab = 0; ab <= laenge; ++ab) {
                const std::size_t cr = oderKeins(text.find('\r', ab));
                EXPECT_EQ(scan.naechstesCr(ab), cr) << laenge << " ab " << ab;
                EXPECT_EQ(scan.naechstesKomma(ab), oderKeins(text.find(',', ab))) << laenge << " ab " << ab;
                if (ab < laenge) {  // past the last CR: a place past the text
                    const std::size_t nah = scan.crAb(ab);
                    EXPECT_TRUE(cr == Blockscan::kKeins ? nah >= laenge : nah == cr) << laenge << " ab " << ab;
                }
                for (std::size_t bis = ab; bis <= laenge; bis += 1 + (bis - ab) / 8) {
                    EXPECT_EQ(scan.hinterDemDrittenKomma(ab, bis), hinterDemDrittenKommaEinfach(text, ab, bis))
                        << laenge << " [" << ab << ", " << bis << ")";
                }
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Verfahren, Blockscan_, testing::ValuesIn(Blockscan::verfuegbar()),
                         [](const testing::TestParamInfo<Blockscan::Verfahren>& info) {
                             return info.param == Blockscan::Verfahren::Avx2 ? "Avx2" : "Grundform";
                         });

}  // namespace
}  // namespace cdb2xls::test
