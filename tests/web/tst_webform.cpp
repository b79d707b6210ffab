#include "announcement.h"
#include "catalogue.h"
#include "formdesign.h"
#include "pageimports.h"
#include "runtimeerror.h"
#include "webcatalogue.h"
#include "webcontrols.h"
#include "webform.h"

#include "expectedreports.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

using expected::reports;
using expected::schoolOfRow;
using tavrelon::Catalogue;
using tavrelon::RuntimeError;

namespace {

// The page's side, as its script keeps it: the names shown, the option captions, what is
// selected and checked, and the box. Checking an option delivers its click to the form.
struct FakePage
{
    std::vector<std::string> names;
    std::vector<std::string> captions;
    int selectedRow = -1;
    std::vector<bool> checked;
    std::string text;
    std::string spoken;
    int writes = 0;
    int optionClicks = 0;
    WebForm *form = nullptr;

    explicit FakePage(const Catalogue &catalogue)
    {
        for (std::int16_t row = 0; row < catalogue.rowCount(); ++row) {
            names.emplace_back(catalogue.name(row));
        }
        for (std::int16_t school = 0; school < catalogue.schoolCount(); ++school) {
            captions.emplace_back(catalogue.caption(school));
        }
        checked.assign(captions.size(), false);
    }

    int checkedOption() const
    {
        const auto found = std::find(checked.begin(), checked.end(), true);
        return found == checked.end() ? -1 : int(found - checked.begin());
    }
};

FakePage *page = nullptr;

} // namespace

extern "C" {

int tavrelon_page_list_index()
{
    return page->selectedRow;
}

int tavrelon_page_list_count()
{
    return int(page->names.size());
}

int tavrelon_page_option_count()
{
    return int(page->captions.size());
}

int tavrelon_page_option_value(int element)
{
    return page->checked.at(std::size_t(element)) ? 1 : 0;
}

void tavrelon_page_set_option_value(int element, int value)
{
    const bool wasChecked = page->checked.at(std::size_t(element));
    if (value != 0) {
        std::fill(page->checked.begin(), page->checked.end(), false);
    }
    page->checked.at(std::size_t(element)) = value != 0;
    if (value != 0 && !wasChecked) {
        ++page->optionClicks;
        page->form->optionClick(std::int16_t(element));
    }
}

int tavrelon_page_text(int what, int index, char *buffer, int capacity)
{
    const auto &texts = what == tavrelon_page_row_name ? page->names : page->captions;
    const auto &text = texts.at(std::size_t(index));
    if (int(text.size()) <= capacity) {
        std::copy(text.begin(), text.end(), buffer);
    }
    return int(text.size());
}

void tavrelon_page_set_text(const char *text, int length, const char *spoken, int spokenLength)
{
    page->text.assign(text, std::size_t(length));
    page->spoken.assign(spoken, std::size_t(spokenLength));
    ++page->writes;
}
}

namespace {

class WebFormTest : public testing::Test
{
protected:
    explicit WebFormTest(const Catalogue &catalogue = Catalogue::standard())
        : fake(catalogue)
        , form(catalogue)
    {
        page = &fake;
        fake.form = &form;
    }
    ~WebFormTest() override { page = nullptr; }

    bool clickRow(int row)
    {
        fake.selectedRow = row;
        return form.listClick();
    }

    FakePage fake;
    WebForm form;
};

TEST_F(WebFormTest, StartsWithTheAssignmentText)
{
    ASSERT_TRUE(form.start());
    EXPECT_EQ(fake.text, FormDesign::assignmentText());
    // The assignment is read from the box, not announced.
    EXPECT_EQ(fake.spoken, "");
    EXPECT_EQ(fake.writes, 1);
    EXPECT_EQ(fake.checkedOption(), -1);
}

TEST_F(WebFormTest, NameClickChecksItsSchoolAndWritesItsReportOnce)
{
    for (int row = 0; row < int(schoolOfRow.size()); ++row) {
        const auto writes = fake.writes;
        ASSERT_TRUE(clickRow(row)) << form.error();
        const auto school = schoolOfRow.at(std::size_t(row));
        EXPECT_EQ(fake.text, reports.at(std::size_t(school))) << "row " << row;
        EXPECT_EQ(fake.checkedOption(), school) << "row " << row;
        // The nested option click reached the form and was ignored.
        EXPECT_EQ(fake.writes, writes + 1) << "row " << row;
    }
}

TEST_F(WebFormTest, SchoolClickWritesItsReportAndKeepsTheName)
{
    ASSERT_TRUE(clickRow(7));
    for (int school = 0; school < 3; ++school) {
        fake.checked.assign(3, false);
        fake.checked.at(std::size_t(school)) = true;
        ASSERT_TRUE(form.optionClick(std::int16_t(school)));
        EXPECT_EQ(fake.text, reports.at(std::size_t(school)));
        // With each report the page is handed the words screen readers are to say of it.
        EXPECT_EQ(fake.spoken, tavrelon::announcementFor(fake.text));
        EXPECT_EQ(fake.spoken.rfind(std::string(Catalogue::standard().caption(school)) + ". ", 0),
                  0U);
        EXPECT_EQ(fake.selectedRow, 7);
    }
}

TEST_F(WebFormTest, NoRowSelectedReportsNothing)
{
    ASSERT_TRUE(clickRow(-1));
    EXPECT_EQ(fake.writes, 0);
    // The guard was not left set: a school click still reports.
    ASSERT_TRUE(form.optionClick(1));
    EXPECT_EQ(fake.text, reports[1]);
}

TEST_F(WebFormTest, TextsLongerThanTheFirstBufferArriveWhole)
{
    fake.names[0] = std::string(200, 'x') + " Граматик ";
    fake.captions[2] = std::string(150, 'y') + " школа";
    ASSERT_TRUE(clickRow(0));
    EXPECT_NE(fake.text.find("Избрана: " + fake.captions[2] + "\r\n"), std::string::npos);
    EXPECT_NE(fake.text.find("\r\n" + fake.names[0] + "\r\n"), std::string::npos);
}

TEST_F(WebFormTest, ControlsCheckElementsAgainstThePage)
{
    WebControls controls(Catalogue::standard());
    EXPECT_EQ(controls.listCount(0), 18);
    EXPECT_EQ(controls.listCount(1), 18);
    EXPECT_EQ(controls.listIndex(1), -1);
    EXPECT_EQ(controls.list(1, 7), "0");
    const auto errorNumber = [](auto call) {
        try {
            call();
        } catch (const RuntimeError &error) {
            return error.number();
        }
        return 0;
    };
    EXPECT_EQ(errorNumber([&] { controls.list(0, 18); }), RuntimeError::InvalidRow);
    EXPECT_EQ(errorNumber([&] { controls.list(0, -1); }), RuntimeError::InvalidRow);
    EXPECT_EQ(errorNumber([&] { controls.list(2, 0); }), RuntimeError::NoSuchElement);
    EXPECT_EQ(errorNumber([&] { controls.optionCaption(3); }), RuntimeError::NoSuchElement);
    EXPECT_EQ(errorNumber([&] { controls.setOptionValue(-1, true); }), RuntimeError::NoSuchElement);
    EXPECT_EQ(errorNumber([&] { controls.setText(1, "x"); }), RuntimeError::NoSuchElement);
    // The page says how many options there are.
    fake.captions.pop_back();
    EXPECT_EQ(errorNumber([&] { controls.optionValue(2); }), RuntimeError::NoSuchElement);
    EXPECT_EQ(fake.writes, 0);
}

class FaultyWebFormTest : public WebFormTest
{
protected:
    FaultyWebFormTest()
        : WebFormTest(webCatalogue())
    { }
};

// The test build's catalogue, whose second name has the school text "7".
TEST_F(FaultyWebFormTest, RunTimeErrorIsDescribedAndStopsTheForm)
{
    ASSERT_TRUE(form.start());
    ASSERT_TRUE(clickRow(0));
    const auto report = fake.text;
    EXPECT_FALSE(form.failed());

    EXPECT_FALSE(clickRow(1));
    EXPECT_TRUE(form.failed());
    EXPECT_EQ(form.error(),
              "Грешка 340 по време на работа:\nControl array element Option1(7) does not exist");
    EXPECT_EQ(fake.text, report);

    // Nothing runs any more.
    const auto writes = fake.writes;
    EXPECT_FALSE(clickRow(0));
    EXPECT_FALSE(form.optionClick(1));
    EXPECT_FALSE(form.start());
    EXPECT_EQ(fake.writes, writes);
    EXPECT_EQ(fake.text, report);
}

} // namespace
