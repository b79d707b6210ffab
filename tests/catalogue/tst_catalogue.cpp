#include "catalogue.h"
#include "conversion.h"
#include "runtimeerror.h"

#include <gtest/gtest.h>

#include <array>
#include <set>
#include <vector>

using namespace tavrelon;

namespace {

const Catalogue &catalogue = Catalogue::standard();

TEST(StandardCatalogue, holdsThreeSchoolsInOptionOrder)
{
    ASSERT_EQ(catalogue.schoolCount(), 3);
    EXPECT_EQ(catalogue.caption(0), "Преславска книжовна школа");
    EXPECT_EQ(catalogue.caption(1), "Софийска книжовна школа");
    EXPECT_EQ(catalogue.caption(2), "Търновска книжовна школа");
}

TEST(StandardCatalogue, groupsEighteenNamesByTheirSchoolTexts)
{
    ASSERT_EQ(catalogue.rowCount(), 18);
    std::array<std::vector<int>, 3> members;
    for (std::int16_t row = 0; row < catalogue.rowCount(); ++row) {
        const auto text = catalogue.schoolText(row);
        ASSERT_EQ(text.size(), 1U) << "row " << row;
        const auto school = textToNumber(text);
        ASSERT_TRUE(school == 0 || school == 1 || school == 2) << "row " << row;
        members[static_cast<std::size_t>(school)].push_back(row);
    }
    EXPECT_EQ(members[0], (std::vector<int> {7, 11, 13, 17}));
    EXPECT_EQ(members[1], (std::vector<int> {6, 12, 14, 15}));
    EXPECT_EQ(members[2], (std::vector<int> {0, 1, 2, 3, 4, 5, 8, 9, 10, 16}));
}

TEST(StandardCatalogue, keepsNamesExactlyAsWritten)
{
    EXPECT_EQ(catalogue.name(0), "Владислав Граматик");
    EXPECT_EQ(catalogue.name(6), "йеромонах Гаврил ");
    EXPECT_EQ(catalogue.name(14), "поп Пейо");
    EXPECT_EQ(catalogue.name(15), "св. Георги Софийски");
    EXPECT_EQ(catalogue.name(17), "Черноризец Храбър");

    std::set<std::string_view> distinct;
    for (std::int16_t row = 0; row < catalogue.rowCount(); ++row) {
        distinct.insert(catalogue.name(row));
    }
    EXPECT_EQ(distinct.size(), 18U);
}

TEST(StandardCatalogue, refusesRowsAndSchoolsItDoesNotHave)
{
    for (const std::int16_t row : std::array<std::int16_t, 3> {-1, 18, 32767}) {
        EXPECT_THROW(catalogue.name(row), RuntimeError);
        EXPECT_THROW(catalogue.schoolText(row), RuntimeError);
    }
    for (const std::int16_t school : std::array<std::int16_t, 3> {-1, 3, 7}) {
        try {
            catalogue.caption(school);
            ADD_FAILURE() << "no error for school " << school;
        } catch (const RuntimeError &error) {
            EXPECT_EQ(error.number(), RuntimeError::NoSuchElement);
        }
    }
}

TEST(OtherCatalogues, answerFromTheirOwnTables)
{
    const std::array<std::string_view, 1> captions {"Една"};
    const std::array<Representative, 2> rows {{{"А", "x"}, {"Б", "0"}}};
    const Catalogue small(captions, rows);
    EXPECT_EQ(small.rowCount(), 2);
    EXPECT_EQ(small.name(1), "Б");
    // A school text that is no number counts as school 0.
    EXPECT_EQ(textToNumber(small.schoolText(0)), 0);

    const Catalogue empty({}, {});
    EXPECT_EQ(empty.rowCount(), 0);
    EXPECT_THROW(empty.caption(0), RuntimeError);
}

} // namespace
