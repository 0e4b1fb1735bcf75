#include "flowengine/flowlines.h"

#include "platform/errors.h"
#include "platform/messagebox.h"
#include "support/doubles/recordingmessagebox.h"

#include <gtest/gtest.h>

using namespace flowengine;

namespace {

QString q(const char *utf8) { return QString::fromUtf8(utf8); }

class FlowLines : public ::testing::Test {
protected:
    platform::RecordingMessageBoxService boxes;
    platform::ScopedMessageBoxService guard{boxes};
};

// A folder flow's line: the 22-character prefix, then every field followed by TAB.
const QString Line = q("TC1           12345600IM4\t\t Viti \t12.500\t");

TEST_F(FlowLines, FieldsAreCountedAfterTheSixPartsOfThePrefix)
{
    struct Case {
        int field;
        const char *value;
    };
    const std::vector<Case> cases = {{7, "IM4"}, {8, ""}, {9, "Viti"}, {10, "12.500"}, {11, ""}, {12, ""},
                                     {6, ""},    {1, ""}, {0, ""},     {-3, ""}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.field);
        EXPECT_EQ(LeggiCampoInterchange(Line, q("T"), c.field), q(c.value));
    }
    // the rest after the last TAB is a value too
    EXPECT_EQ(LeggiCampoInterchange(q("TC1           12345600A\tB"), q("T"), 8), q("B"));
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(FlowLines, OnlyLinesOfKindTCanBeRead)
{
    EXPECT_EQ(LeggiCampoInterchange(Line, q("R"), 7), QString());
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0],
              (platform::Message{q("Ipossibile determinare il contenuto del campo di un intechange di tipo 'R' poiché la "
                                   "versione dell'applicazione non lo prevede."),
                                 q("CORBIX"), platform::MsgIcon::None, platform::MsgButtons::OK, 1}));
}

TEST_F(FlowLines, CompositionListsAreReadBack)
{
    std::vector<DocumentoCorbex> documents(5, DocumentoCorbex{QDate(1999, 1, 1), 99, q("vecchio")});
    EXPECT_EQ(LeggiCompostoDa(documents, q("1234-05/03/2001-3456789\r\n77-6/3/2001-AB-CD")), 2);
    ASSERT_EQ(documents.size(), 2u);
    EXPECT_EQ(documents[0].Indice, 1234);
    EXPECT_EQ(documents[0].Data, QDate(2001, 3, 5));
    EXPECT_EQ(documents[0].Rif, q("3456789"));
    EXPECT_EQ(documents[1].Indice, 77);
    EXPECT_EQ(documents[1].Data, QDate(2001, 3, 6));
    EXPECT_EQ(documents[1].Rif, q("AB-CD"));

    // Empty lines hold no declaration; an empty list leaves the records alone.
    EXPECT_EQ(LeggiCompostoDa(documents, q("\r\n5-04/03/2024-\r\n\r\n")), 1);
    ASSERT_EQ(documents.size(), 1u);
    EXPECT_EQ(documents[0].Indice, 5);
    EXPECT_EQ(documents[0].Rif, QString());
    EXPECT_EQ(LeggiCompostoDa(documents, QString()), 0);
    EXPECT_EQ(LeggiCompostoDa(documents, q("\r\n")), 0);
    ASSERT_EQ(documents.size(), 1u);
    EXPECT_EQ(documents[0].Indice, 5);
}

TEST_F(FlowLines, ADatePartThatIsNoDateIsAnError)
{
    std::vector<DocumentoCorbex> documents;
    for (const char *list : {"1-31/02/2024-R\r\n", "1-R", "12"}) {
        SCOPED_TRACE(list);
        try {
            LeggiCompostoDa(documents, q(list));
            ADD_FAILURE() << "read as a date";
        } catch (const platform::RuntimeError &e) {
            EXPECT_EQ(e.number(), platform::err::TypeMismatch);
            EXPECT_EQ(e.description(), q("Tipo non corrispondente."));
        }
    }
    EXPECT_TRUE(documents.empty());
}

TEST_F(FlowLines, IndexTextsAreReadAsLongs)
{
    EXPECT_EQ(IndiceDaTesto(q("000001234")), 1234);
    EXPECT_EQ(IndiceDaTesto(q(" 12 ")), 12);
    EXPECT_EQ(IndiceDaTesto(q("2.5")), 2);
    EXPECT_EQ(IndiceDaTesto(q("abc")), 0);
    EXPECT_EQ(IndiceDaTesto(q("2147483647")), 2147483647);
    try {
        IndiceDaTesto(q("2147483648"));
        FAIL() << "a number past the Long range was taken";
    } catch (const platform::RuntimeError &e) {
        EXPECT_EQ(e.number(), platform::err::Overflow);
    }
}

}  // namespace
