#include "conversion.h"
#include "runtimeerror.h"
#include "variant.h"

#include <gtest/gtest.h>

#include <cmath>
#include <exception>
#include <limits>
#include <ostream>
#include <stdexcept>
#include <string>

using namespace tavrelon;

namespace {

struct NumberCase
{
    std::string text;
    double expected;
};

// Without a printer gtest shows a parameter as its raw bytes, which reads the unused tail of a
// short string's buffer: uninitialised memory, as valgrind rightly reports.
void PrintTo(const NumberCase &number, std::ostream *out)
{
    *out << '"' << number.text << "\" -> " << number.expected;
}

class TextToNumber : public testing::TestWithParam<NumberCase>
{
};

TEST_P(TextToNumber, readsTheLeadingNumber)
{
    const auto &[text, expected] = GetParam();
    EXPECT_EQ(textToNumber(text), expected) << '"' << text << '"';
}

constexpr auto infinity = std::numeric_limits<double>::infinity();

INSTANTIATE_TEST_SUITE_P(
    Texts, TextToNumber,
    testing::Values(
        // The digits the school list holds.
        NumberCase {"0", 0}, NumberCase {"1", 1}, NumberCase {"2", 2},
        // No number at the start gives 0.
        NumberCase {"", 0}, NumberCase {"x2", 0}, NumberCase {"-", 0}, NumberCase {".", 0},
        NumberCase {"e5", 0}, NumberCase {"+-1", 0}, NumberCase {"\n3", 0},
        NumberCase {"Търновска", 0},
        // Blanks and tabs before the number are skipped; trailing text ends it.
        NumberCase {"  \t7", 7}, NumberCase {"12abc", 12}, NumberCase {"3 4", 3},
        NumberCase {"1,5", 1},
        // Signs, decimal points and exponents.
        NumberCase {"-2.5", -2.5}, NumberCase {"+.5", 0.5}, NumberCase {"5.", 5},
        NumberCase {"1e3", 1000}, NumberCase {"-1.5E-1x", -0.15},
        // An exponent without digits is not part of the number.
        NumberCase {"1e", 1}, NumberCase {"2e+", 2}, NumberCase {"3E-z", 3},
        // Beyond the range of a double.
        NumberCase {"1e400", infinity}, NumberCase {"-1e400", -infinity}, NumberCase {"1e-400", 0},
        NumberCase {"0.0001e-330", 0}, NumberCase {"1" + std::string(400, '0'), infinity},
        NumberCase {"1e99999999999999999999999", infinity},
        NumberCase {"0e99999999999999999999999", 0}));

TEST(TextToNumberBounds, stopsAtTheEndOfItsInput)
{
    // The view ends inside a longer buffer: nothing past it may count.
    const std::string buffer = "12345";
    EXPECT_EQ(textToNumber(std::string_view(buffer).substr(0, 2)), 12);
    EXPECT_EQ(textToNumber(std::string_view("1e", 1)), 1);
    EXPECT_EQ(textToNumber(std::string_view("4\0"
                                            "5",
                                            3)),
              4);
}

struct RoundingCase
{
    double value;
    std::int16_t expected;
};

// The struct has padding after `expected`; print the fields, not the bytes.
void PrintTo(const RoundingCase &rounding, std::ostream *out)
{
    *out << rounding.value << " -> " << rounding.expected;
}

class Rounding : public testing::TestWithParam<RoundingCase>
{
};

TEST_P(Rounding, roundsToNearestTiesToEven)
{
    const auto [value, expected] = GetParam();
    EXPECT_EQ(toInteger16(value), expected) << value;
}

INSTANTIATE_TEST_SUITE_P(Values, Rounding,
                         testing::Values(RoundingCase {0.5, 0}, RoundingCase {1.5, 2},
                                         RoundingCase {2.5, 2}, RoundingCase {-2.5, -2},
                                         RoundingCase {-0.5, 0}, RoundingCase {-1.5, -2},
                                         RoundingCase {2.4999, 2}, RoundingCase {2.5001, 3},
                                         RoundingCase {-2.6, -3}, RoundingCase {32767.4, 32767},
                                         RoundingCase {-32768.5, -32768},
                                         RoundingCase {-32768.0, -32768}));

TEST(RoundingOverflow, isARuntimeError)
{
    for (const double value :
         {32767.5, 32768.0, -32768.6, -32769.0, 1e300, std::numeric_limits<double>::infinity(),
          -std::numeric_limits<double>::infinity(), std::numeric_limits<double>::quiet_NaN()}) {
        try {
            toInteger16(value);
            ADD_FAILURE() << "no error for " << value;
        } catch (const RuntimeError &error) {
            EXPECT_EQ(error.number(), RuntimeError::Overflow);
            EXPECT_STREQ(error.what(), "Overflow");
        }
    }
}

TEST(VariantValues, compareNumerically)
{
    const Variant empty;
    EXPECT_TRUE(empty.isEmpty());
    EXPECT_TRUE(Variant(std::int16_t {2}).isInteger());
    EXPECT_TRUE(Variant(2.0).isDouble());

    EXPECT_EQ(Variant(std::int16_t {2}), Variant(2.0));
    EXPECT_EQ(Variant(2.0), Variant(std::int16_t {2}));
    EXPECT_NE(Variant(std::int16_t {2}), Variant(2.5));
    EXPECT_NE(Variant(std::int16_t {1}), Variant(std::int16_t {2}));
    EXPECT_EQ(Variant(std::int16_t {-32768}), Variant(-32768.0));
    EXPECT_EQ(empty, Variant(0.0));
    EXPECT_NE(Variant(std::numeric_limits<double>::quiet_NaN()),
              Variant(std::numeric_limits<double>::quiet_NaN()));
}

TEST(VariantValues, roundToInteger16ByKind)
{
    EXPECT_EQ(toInteger16(Variant(std::int16_t {-7})), -7);
    EXPECT_EQ(toInteger16(Variant(2.5)), 2);
    EXPECT_EQ(toInteger16(Variant()), 0);
    EXPECT_THROW(toInteger16(Variant(40000.0)), RuntimeError);
}

TEST(RuntimeErrors, nameWhatWentWrong)
{
    const auto element = RuntimeError::noSuchElement("Option1", 7);
    EXPECT_EQ(element.number(), RuntimeError::NoSuchElement);
    EXPECT_NE(std::string(element.what()).find("Option1(7)"), std::string::npos);

    const auto row = RuntimeError::invalidRow("List1", 18);
    EXPECT_NE(std::string(row.what()).find("18"), std::string::npos);
}

TEST(RuntimeErrors, areDescribedWithNumberAndMessage)
{
    EXPECT_EQ(RuntimeError::describe(std::make_exception_ptr(RuntimeError::overflow())),
              "Грешка 6 по време на работа:\nOverflow");
    EXPECT_EQ(RuntimeError::describe(std::make_exception_ptr(std::length_error("too long"))),
              "Неочаквана грешка:\ntoo long");
    EXPECT_EQ(RuntimeError::describe(std::make_exception_ptr(42)), "Неочаквана грешка.");
}

} // namespace
