#include "flowengine/flowlist.h"

#include <gtest/gtest.h>

using namespace flowengine;

TEST(FlowList, StateFiveShowsACounterOfZero)
{
    DatiCorbex flow;
    flow.Data = QDate(2024, 12, 31);
    flow.Progressivo = 7;
    flow.Stato = 5;
    flow.Tipo = 1;
    const RigaElenco r = RigaElencoCorbex(flow, "Mittente");
    EXPECT_EQ(r.testi, (std::array<QString, 6>{"31/12/24", "7", "Mittente", "0", "0", "0"}));
    EXPECT_EQ(r.icona, "GRNCHECK");
}

TEST(FlowListImages, EveryKeyHasAPicture)
{
    for (const char *key : {"FLOPPY", "RTARWWHT", "RTARWGRN", "REDCHECK", "CRITICAL", "GRNCHECK"})
        EXPECT_FALSE(ImmagineElenco(key).isNull()) << key;
    EXPECT_TRUE(ImmagineElenco("").isNull());
    EXPECT_TRUE(ImmagineElenco("ALTRO").isNull());
}
