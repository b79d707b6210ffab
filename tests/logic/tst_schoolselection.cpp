#include "announcement.h"
#include "cataloguecontrols.h"
#include "faultycatalogue.h"
#include "formsession.h"
#include "runtimeerror.h"
#include "schoolselection.h"

#include "expectedreports.h"

#include <gtest/gtest.h>

#include <array>
#include <exception>
#include <string>
#include <vector>

using namespace tavrelon;
using expected::reports;
using expected::schoolOfRow;

namespace {

// The form on window-less controls, with option clicks routed back into the form the way
// the window routes them: nested inside the setting of Value.
class Form : public testing::Test
{
protected:
    explicit Form(const Catalogue &catalogue = Catalogue::standard())
        : controls(catalogue)
        , form(controls)
    {
        controls.setOptionClickHandler([this](std::int16_t index) {
            ++optionClicks;
            form.Option1_Click(index);
        });
    }

    // A user clicking a name: the row becomes selected, then the list reports its click.
    void clickRow(std::int16_t row)
    {
        controls.selectRow(row);
        form.List1_Click(0);
    }

    // A user clicking a school: the option becomes checked, which raises its click.
    void clickOption(std::int16_t school) { controls.setOptionValue(school, true); }

    CatalogueControls controls;
    SchoolSelection form;
    int optionClicks = 0;
};

TEST_F(Form, optionClickReportsItsSchoolByteForByte)
{
    for (const std::int16_t school : std::array<std::int16_t, 3> {0, 1, 2}) {
        form.Option1_Click(school);
        EXPECT_EQ(controls.text(0), reports[school]) << "school " << school;
        EXPECT_TRUE(form.selectedSchool().isInteger());
        EXPECT_EQ(form.clickSource(), SchoolSelection::NoClick);
    }
}

TEST_F(Form, everyNameChecksItsSchoolAndReportsItOnce)
{
    for (std::int16_t row = 0; row < 18; ++row) {
        const auto writesBefore = controls.textWrites();
        clickRow(row);
        const auto school = schoolOfRow[static_cast<std::size_t>(row)];
        EXPECT_EQ(controls.checkedOption(), school) << "row " << row;
        // A list click reports from a double; the text matches the option's report exactly.
        EXPECT_TRUE(form.selectedSchool().isDouble());
        EXPECT_EQ(controls.text(0), reports[static_cast<std::size_t>(school)]) << "row " << row;
        EXPECT_EQ(controls.textWrites(), writesBefore + 1) << "row " << row;
        EXPECT_EQ(form.selectedRow(), Variant(row));
        EXPECT_TRUE(form.selectedRow().isInteger());
        EXPECT_EQ(controls.listIndex(0), row);
        EXPECT_EQ(form.clickSource(), SchoolSelection::NoClick);
    }
}

TEST_F(Form, nestedOptionClickOfAListClickDoesNothing)
{
    clickRow(13); // Наум Преславски
    EXPECT_EQ(optionClicks, 1);
    EXPECT_EQ(controls.textWrites(), 1);
    EXPECT_EQ(controls.checkedOption(), 0);
    EXPECT_EQ(controls.text(0), reports[0]);

    clickRow(12); // Матей Граматик
    EXPECT_EQ(optionClicks, 2);
    EXPECT_EQ(controls.textWrites(), 2);
    EXPECT_EQ(controls.text(0), reports[1]);
}

TEST_F(Form, optionClickLeavesTheListSelectionAlone)
{
    clickRow(13);
    clickOption(2);
    EXPECT_EQ(controls.listIndex(0), 13);
    EXPECT_EQ(controls.checkedOption(), 2);
    // The second report replaces the first entirely.
    EXPECT_EQ(controls.text(0), reports[2]);
}

TEST_F(Form, repeatedClicksKeepTheSameReport)
{
    clickRow(5);
    clickRow(5);
    EXPECT_EQ(controls.text(0), reports[2]);
    // The option was already checked: no click is raised, the report still comes once.
    EXPECT_EQ(optionClicks, 1);
    EXPECT_EQ(controls.textWrites(), 2);

    form.Option1_Click(2);
    form.Option1_Click(2);
    EXPECT_EQ(controls.text(0), reports[2]);

    // A name whose school was left for another school checks it again.
    clickOption(0);
    clickRow(5);
    EXPECT_EQ(controls.checkedOption(), 2);
    EXPECT_EQ(controls.text(0), reports[2]);
}

TEST_F(Form, listClickWithoutASelectedRowIsIgnoredWithoutJammingTheGuard)
{
    controls.setText(0, "assignment");
    clickRow(-1);
    EXPECT_EQ(controls.text(0), "assignment");
    EXPECT_EQ(controls.checkedOption(), -1);
    EXPECT_EQ(form.clickSource(), SchoolSelection::NoClick);

    clickOption(1);
    EXPECT_EQ(controls.text(0), reports[1]);
}

const std::array<std::string_view, 3> captions {"Първа", "Втора", "Трета"};

class EmptyForm : public Form
{
protected:
    EmptyForm()
        : Form(emptyCatalogue)
    { }
    static inline const Catalogue emptyCatalogue {captions, {}};
};

TEST_F(EmptyForm, reportsOnlyTheTwoLabelLines)
{
    form.Option1_Click(1);
    EXPECT_EQ(controls.text(0), "Избрана: Втора\r\nПредставители:\r\n");
}

const std::array<Representative, 4> badRows {
    {{"Първи", "1"}, {"Втори", "7"}, {"Трети", "2.5"}, {"Четвърти", "2"}}};

class BadSchoolForm : public Form
{
protected:
    BadSchoolForm()
        : Form(badCatalogue)
    { }
    static inline const Catalogue badCatalogue {captions, badRows};
};

TEST_F(BadSchoolForm, schoolWithoutAnOptionIsARuntimeError)
{
    try {
        clickRow(1);
        FAIL() << "no error";
    } catch (const RuntimeError &error) {
        EXPECT_EQ(error.number(), RuntimeError::NoSuchElement);
        EXPECT_NE(std::string(error.what()).find("Option1(7)"), std::string::npos);
    }
    EXPECT_EQ(controls.checkedOption(), -1);
    EXPECT_EQ(controls.textWrites(), 0);
}

TEST_F(BadSchoolForm, fractionalSchoolRoundsForTheOptionButMatchesOnlyItsExactValue)
{
    // "2.5" rounds to option 2 (ties to even); the report compares numbers, so "2" is not 2.5.
    clickRow(2);
    EXPECT_EQ(controls.checkedOption(), 2);
    EXPECT_EQ(controls.text(0), "Избрана: Трета\r\nПредставители:\r\nТрети\r\n");
}

// The form as every window runs it: the first run-time error goes to the window's report once,
// and from then on nothing of the form runs.
class Session : public testing::Test
{
protected:
    explicit Session(const Catalogue &catalogue = faultyCatalogue())
        : controls(catalogue)
        , session(controls, [this](const std::exception_ptr &error) { errors.push_back(error); })
    {
        controls.setOptionClickHandler([this](std::int16_t index) { session.optionClick(index); });
    }

    bool clickRow(std::int16_t row)
    {
        controls.selectRow(row);
        return session.listClick(0);
    }

    CatalogueControls controls;
    std::vector<std::exception_ptr> errors;
    FormSession session;
};

TEST_F(Session, deliversClicksUntilTheFirstErrorThenReportsItOnceAndGoesInert)
{
    EXPECT_TRUE(clickRow(0));
    EXPECT_EQ(controls.text(0).rfind("Избрана: Търновска", 0), 0U);
    EXPECT_TRUE(session.optionClick(0));
    EXPECT_EQ(controls.text(0), reports[0]);
    EXPECT_TRUE(errors.empty());

    // Row 1's school has no option.
    EXPECT_FALSE(clickRow(1));
    ASSERT_EQ(errors.size(), 1U);
    EXPECT_TRUE(session.failed());
    try {
        std::rethrow_exception(errors.front());
    } catch (const RuntimeError &error) {
        EXPECT_EQ(error.number(), RuntimeError::NoSuchElement);
    }

    // Nothing more runs, whatever is clicked or handed to it, and nothing is reported again.
    const int writes = controls.textWrites();
    EXPECT_FALSE(clickRow(0));
    EXPECT_FALSE(session.optionClick(1));
    bool ran = false;
    EXPECT_FALSE(session.deliver([&ran] { ran = true; }));
    EXPECT_FALSE(ran);
    EXPECT_EQ(controls.textWrites(), writes);
    EXPECT_EQ(errors.size(), 1U);
}

TEST_F(Session, anErrorInsideANestedClickIsReportedOnceAndTheOuterClickSeesTheFormFailed)
{
    // The option click that the list's click raises fails; the list's click then fails too.
    controls.setOptionClickHandler([this](std::int16_t /*index*/) {
        session.deliver([] { throw RuntimeError::overflow(); });
    });
    EXPECT_FALSE(session.deliver([this] {
        clickRow(12);
        throw RuntimeError::overflow();
    }));
    EXPECT_EQ(errors.size(), 1U);
}

// What every window announces for a report: the school, then its names as one sentence.
TEST_F(Form, everyReportIsAnnouncedAsSchoolThenNames)
{
    for (std::int16_t school = 0; school < 3; ++school) {
        clickOption(school);
        EXPECT_EQ(announcementFor(controls.text(0)), expected::announcements[std::size_t(school)]);
    }
}

TEST(Announcement, onlyAReportIsAnnounced)
{
    EXPECT_EQ(announcementFor(""), "");
    EXPECT_EQ(announcementFor("Да се реализира проект.\r\nТема на проекта.\r\n"), "");
    // The first line alone, or a heading other than the names', is no report.
    EXPECT_EQ(announcementFor("Избрана: Първа\r\n"), "");
    EXPECT_EQ(announcementFor("Избрана: Първа\r\nИмена:\r\nЕдин\r\n"), "");
    // A school without names, a missing last line end and blank lines.
    EXPECT_EQ(announcementFor("Избрана: Първа\r\nПредставители:\r\n"), "Първа.");
    EXPECT_EQ(announcementFor("Избрана: Първа\r\nПредставители:\r\nЕдин\r\n  \r\nДва"),
              "Първа. Представители: Един, Два.");
}

} // namespace
