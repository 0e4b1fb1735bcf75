#include "common/propertyset.h"
#include "platform/messagebox.h"
#include "support/doubles/recordingmessagebox.h"

#include <QDate>
#include <gtest/gtest.h>

using namespace common;
using platform::Message;
using platform::MsgButtons;
using platform::MsgIcon;

namespace {

// The set the table screens declare, with their defaults.
PropertySet tableScreenSet()
{
    return {
        {"TableName", PropertyText, QString()},      {"WhereCondition", PropertyText, QString()},
        {"AutoUpDate", PropertyBoolean, "False"},    {"StartUp", PropertyText, "N"},
        {"MultiAdd", PropertyBoolean, "True"},       {"UpDatable", PropertyBoolean, "True"},
        {"Deletable", PropertyBoolean, "True"},      {"NewSearch", PropertyBoolean, "True"},
    };
}

Message critical(const QString &text) { return {text, "Corbix", MsgIcon::Critical, MsgButtons::OK, 1}; }

class PropertySetTest : public ::testing::Test {
protected:
    platform::RecordingMessageBoxService boxes;
    platform::ScopedMessageBoxService guard{boxes};
    PropertySet set = tableScreenSet();

    std::vector<QVariant> values() const
    {
        std::vector<QVariant> out;
        for (const Property &p : set)
            out.push_back(p.value);
        return out;
    }
};

}  // namespace

TEST_F(PropertySetTest, LoadsTheItemsOfATag)
{
    EXPECT_FALSE(LoadPropertySet("TableName=UtenzeEdi;UpDatable=True;Deletable=False;StartUp=N", set));
    EXPECT_TRUE(boxes.shown.empty());
    const std::vector<QVariant> expected = {"UtenzeEdi", QString(), "False", "N", "True", true, false, "True"};
    EXPECT_EQ(values(), expected);
}

TEST_F(PropertySetTest, ItemCases)
{
    struct Case {
        const char *text;
        bool failed;
        const char *property;
        QVariant value;
        const char *message;  // nullptr: none
    } cases[] = {
        {"StartUp=A", false, "StartUp", "A", nullptr},
        {"startup=A", false, "StartUp", "A", nullptr},
        {"UpDatable=True", false, "UpDatable", true, nullptr},
        {"UpDatable=False", false, "UpDatable", false, nullptr},
        {"UpDatable=true", true, "UpDatable", "True", "UPDATABLE: tipo di dato non corrispondente."},
        {"updatable= True", true, "UpDatable", "True", "UPDATABLE: tipo di dato non corrispondente."},
        {" TableName =Stati", false, "TableName", "Stati", nullptr},
        {"TableName= Stati ", false, "TableName", " Stati ", nullptr},
        {"TableName=", false, "TableName", "", nullptr},
        {"WhereCondition=Codice = 'IT'", false, "WhereCondition", "Codice = 'IT'", nullptr},
        {"StartUp=A;;TableName=Stati;", false, "TableName", "Stati", nullptr},
        {"Colore=Rosso;StartUp=A", true, "StartUp", "N", "'Colore': proprietà inesistente."},
        {"StartUp=A;Colore=Rosso", true, "StartUp", "A", "'Colore': proprietà inesistente."},
        {"", false, "StartUp", "N", nullptr},
        // An item without "=" names no property.
        {"StartUp", true, "StartUp", "N", "'StartUp': proprietà inesistente."},
        {" Deletable ;StartUp=A", true, "StartUp", "N", "'Deletable': proprietà inesistente."},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.text);
        set = tableScreenSet();
        boxes.shown.clear();
        EXPECT_EQ(LoadPropertySet(c.text, set), c.failed);
        EXPECT_EQ(GetProperty(set, c.property), c.value);
        if (c.message) {
            ASSERT_EQ(boxes.shown.size(), 1u);
            EXPECT_EQ(boxes.shown[0], critical(c.message));
        } else {
            EXPECT_TRUE(boxes.shown.empty());
        }
    }
}

TEST_F(PropertySetTest, NumberDateAndTextOrNullKinds)
{
    set = {{"Quanti", PropertyNumber, QVariant()},
           {"Dal", PropertyDate, QVariant()},
           {"Filtro", PropertyTextOrNull, "x"},
           {"Strano", 9, QVariant()}};
    struct Case {
        const char *text;
        bool failed;
        const char *property;
        QVariant value;
    } cases[] = {
        {"Quanti=12", false, "Quanti", "12"},
        {"Quanti=-1.5", false, "Quanti", "-1.5"},
        {"Quanti=dodici", true, "Quanti", QVariant()},
        {"Quanti=", true, "Quanti", QVariant()},
        {"Dal=15/01/2026", false, "Dal", "15/01/2026"},
        {"Dal=32/01/2026", true, "Dal", QVariant()},
        {"Filtro=", false, "Filtro", QVariant()},
        {"Filtro=abc", false, "Filtro", "abc"},
        {"Strano=1", true, "Strano", QVariant()},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.text);
        set[0].value = set[1].value = set[3].value = QVariant();
        set[2].value = "x";
        EXPECT_EQ(LoadPropertySet(c.text, set), c.failed);
        const QVariant value = GetProperty(set, c.property);
        EXPECT_EQ(value.isNull(), c.value.isNull());
        if (!c.value.isNull()) {
            EXPECT_EQ(value, c.value);
        }
    }
}

TEST_F(PropertySetTest, GetPropertyOfANameNotInTheSet)
{
    EXPECT_EQ(GetProperty(set, "newSearch"), QVariant("True"));
    const QVariant missing = GetProperty(set, "Colore");
    EXPECT_FALSE(missing.isValid());
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0], critical("GetProperty: 'Colore' proprietà non trovata nell'insieme."));
}

TEST_F(PropertySetTest, SetPropertyChecksTheKind)
{
    set.push_back({"Quanti", PropertyNumber, 0});
    set.push_back({"Dal", PropertyDate, QVariant()});
    set.push_back({"Filtro", PropertyTextOrNull, "x"});
    struct Case {
        const char *name;
        QVariant value;
        bool failed;
        QVariant stored;
    } cases[] = {
        {"wherecondition", "Codice = 'IT'", false, "Codice = 'IT'"},
        {"WhereCondition", 12, false, 12},
        {"UpDatable", false, false, false},
        {"UpDatable", -1, false, -1},
        {"UpDatable", 2, true, "True"},
        {"UpDatable", "Vero", true, "True"},
        {"Quanti", 7.5, false, 7.5},
        {"Quanti", "42", false, "42"},
        {"Quanti", "tanti", true, 0},
        {"Dal", QDate(2026, 1, 15), false, QDate(2026, 1, 15)},
        {"Dal", "15/01/2026", false, "15/01/2026"},
        {"Dal", "ieri", true, QVariant()},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        boxes.shown.clear();
        QVariant value = c.value;
        EXPECT_EQ(SetProperty(set, c.name, value), c.failed);
        EXPECT_EQ(GetProperty(set, c.name), c.stored);
        if (c.failed) {
            ASSERT_EQ(boxes.shown.size(), 1u);
            EXPECT_EQ(boxes.shown[0], critical("SetProperty: tipo di dato incompatibile."));
        } else {
            EXPECT_TRUE(boxes.shown.empty());
        }
        // Put the defaults back for the next case.
        set[5].value = "True";
        set[8].value = 0;
        set[9].value = QVariant();
    }
}

TEST_F(PropertySetTest, SetPropertyOfAnEmptyTextOrNullValueStoresNullInBoth)
{
    set.push_back({"Filtro", PropertyTextOrNull, "x"});
    QVariant value = QString("");
    EXPECT_FALSE(SetProperty(set, "Filtro", value));
    EXPECT_TRUE(value.isNull());
    EXPECT_TRUE(GetProperty(set, "Filtro").isNull());
    value = "abc";
    EXPECT_FALSE(SetProperty(set, "FILTRO", value));
    EXPECT_EQ(value, QVariant("abc"));
    EXPECT_EQ(GetProperty(set, "Filtro"), QVariant("abc"));
}

TEST_F(PropertySetTest, SetPropertyOfANameNotInTheSet)
{
    QVariant value = "x";
    EXPECT_TRUE(SetProperty(set, "Colore", value));
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0], critical("SetProperty: 'Colore' nome non persent nell'insieme"));
}
