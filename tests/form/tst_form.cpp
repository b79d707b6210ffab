#include "formdesign.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

using namespace FormDesign;

namespace {

TEST(FormDesign, everyControlLiesInsideItsContainer)
{
    const auto &frame = controls[2];
    ASSERT_EQ(frame.kind, Kind::Frame);
    for (const auto &control : controls) {
        const auto &box = control.twips;
        const int width =
            control.container == Container::Frame1 ? frame.twips.width : clientWidthTwips;
        const int height =
            control.container == Container::Frame1 ? frame.twips.height : clientHeightTwips;
        EXPECT_GE(box.left, 0) << control.name << control.index;
        EXPECT_GE(box.top, 0) << control.name << control.index;
        EXPECT_LE(box.left + box.width, width) << control.name << control.index;
        EXPECT_LE(box.top + box.height, height) << control.name << control.index;
        EXPECT_EQ(control.kind == Kind::OptionButton, control.container == Container::Frame1);
    }
}

TEST(FormDesign, tabOrderIsStrictAndStartsAtTheResultBox)
{
    std::set<int> seen;
    for (const auto &control : controls) {
        EXPECT_TRUE(seen.insert(control.tabIndex).second) << control.name << control.index;
    }
    EXPECT_EQ(controls.front().kind, Kind::TextBox);
    EXPECT_EQ(*seen.begin(), controls.front().tabIndex);
}

// 15 twips to a pixel at 96 dpi; at 200 % every designed length stays whole, at 150 % halves
// round up.
TEST(FormDesign, twipsScaleToWholePixelsAtCommonDensities)
{
    EXPECT_EQ(twipsToPixels(clientWidthTwips), 482);
    EXPECT_EQ(twipsToPixels(clientHeightTwips), 287);
    EXPECT_EQ(twipsToPixels(clientWidthTwips, 192), 964);
    for (const int dpi : {96, 192}) {
        for (const auto &control : controls) {
            for (const int length : {control.twips.left, control.twips.top, control.twips.width,
                                     control.twips.height}) {
                EXPECT_EQ(length * dpi % 1440, 0) << control.name << " at " << dpi << " dpi";
            }
        }
    }
    const auto list = twipsToPixels(controls[6].twips, 144);
    EXPECT_EQ(list.left, 384);
    EXPECT_EQ(list.height, 92); // 91.5 rounds up
    EXPECT_EQ(twipsToPixels(915, 144), 92);
}

TEST(FormDesign, coloursReadAsBlueGreenRed)
{
    const auto heading = fromBgr(0x0080C0FF);
    EXPECT_EQ(heading.red, 255);
    EXPECT_EQ(heading.green, 192);
    EXPECT_EQ(heading.blue, 128);
}

// Text on a fixed background must read whatever the desktop's theme: a fixed background comes
// with its own text colour, at WCAG's 4.5:1 at least; a control without one keeps the system's
// colours for both.
TEST(FormDesign, fixedBackgroundsComeWithTextColoursThatReadOnThem)
{
    for (const auto &control : controls) {
        EXPECT_EQ(control.background.has_value(), control.foreground.has_value())
            << control.name << control.index;
        if (control.background && control.foreground) {
            EXPECT_GE(contrastRatio(*control.background, *control.foreground), 4.5)
                << control.name << control.index;
        }
    }
    EXPECT_NEAR(contrastRatio(0x00FFFFFF, black), 21.0, 1e-9);
    EXPECT_NEAR(contrastRatio(black, 0x00FFFFFF), 21.0, 1e-9);
    EXPECT_NEAR(contrastRatio(0x00777777, 0x00777777), 1.0, 1e-9);
    // #767676 on white is the classic threshold grey, just above 4.5:1.
    EXPECT_NEAR(contrastRatio(0x00767676, 0x00FFFFFF), 4.54, 0.01);
}

// Under a high-contrast setting the system's colours replace every colour of the form.
TEST(FormDesign, systemColoursReplaceTheFormsUnderHighContrast)
{
    for (const auto &control : controls) {
        EXPECT_FALSE(coloursOf(control, true)) << control.name << control.index;
        const auto normal = coloursOf(control, false);
        EXPECT_EQ(normal.has_value(), control.background.has_value());
        if (normal) {
            EXPECT_EQ(normal->background, *control.background);
            EXPECT_EQ(normal->foreground, *control.foreground);
        }
    }
    EXPECT_EQ(windowBackgroundOf(false), windowBackground);
    EXPECT_FALSE(windowBackgroundOf(true));
}

// A window that fits is centred; one larger than the screen keeps its title bar on screen.
TEST(FormDesign, windowsAreCentredOrKeepTheirTitleBarOnScreen)
{
    EXPECT_EQ(centredStart(0, 1280, 488), 396);
    EXPECT_EQ(centredStart(24, 1000, 320), 364);
    EXPECT_EQ(centredStart(0, 400, 1446), 0);
    EXPECT_EQ(centredStart(30, 300, 960), 30);
    EXPECT_EQ(centredStart(-1280, 1280, 488), -884) << "a screen left of the primary one";
    EXPECT_EQ(centredStart(0, 488, 488), 0);
}

TEST(FormDesign, assignmentTextIsSevenCrLfLinesWithItsDoubleBlanks)
{
    const std::string text = assignmentText();
    std::size_t lines = 0;
    for (auto at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at + 2)) {
        ++lines;
    }
    EXPECT_EQ(lines, 7U);
    EXPECT_EQ(text.find('\n'), text.find("\r\n") + 1);
    EXPECT_TRUE(text.ends_with("книжовни школи.\r\n"));
    EXPECT_NE(text.find("Софийска,  Търновска."), std::string::npos);
    EXPECT_NE(text.find("между  книжовни"), std::string::npos);
}

} // namespace
