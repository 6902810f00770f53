#include "format/number_text.h"

#include <cstdint>
#include <limits>
#include <string>

#include <gtest/gtest.h>

namespace {

using format::Form;
using format::NumberText;

struct Case {
    int64_t value;
    Form form;
    const char* expected;
};

TEST(NumberText, BareAndSignedForms) {
    const Case cases[] = {
        {0, Form::kBare, "0"},
        {0, Form::kSigned, " 0"},
        {7, Form::kBare, "7"},
        {12, Form::kSigned, " 12"},
        {-12, Form::kBare, "-12"},
        {-12, Form::kSigned, "-12"},
        {10, Form::kBare, "10"},
        {1000, Form::kBare, "1000"},  // no group separator
        {-1, Form::kSigned, "-1"},
        {1234567890, Form::kBare, "1234567890"},
        {1234567890, Form::kSigned, " 1234567890"},
        {999999999999999, Form::kBare, "999999999999999"},
        {-100000000000000, Form::kSigned, "-100000000000000"},
        // Beyond 15 digits the digits stay exact.
        {std::numeric_limits<int64_t>::max(), Form::kBare, "9223372036854775807"},
        {std::numeric_limits<int64_t>::min(), Form::kSigned, "-9223372036854775808"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(NumberText(c.value, c.form), c.expected) << c.value;
    }
}

TEST(NumberText, TakesFoundCountsOf32Bits) {
    const int32_t most = std::numeric_limits<int32_t>::max();
    const int32_t least = std::numeric_limits<int32_t>::min();
    EXPECT_EQ(NumberText(most, Form::kSigned), " 2147483647");
    EXPECT_EQ(NumberText(least, Form::kBare), "-2147483648");
    EXPECT_EQ(NumberText(least, Form::kSigned), "-2147483648");
}

}  // namespace
