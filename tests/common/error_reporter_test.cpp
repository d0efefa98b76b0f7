// The error reporter's code rules and the end on memory exhaustion, and the
// growth of Array, whose exhaustion goes through the reporter.
#include "common/error_reporter.h"

#include <gtest/gtest.h>

#include <climits>
#include <vector>

#include "common/array.h"

namespace {

TEST(ErrorReporter, CodeRules) {
    struct Case {
        int line;
        std::vector<int> codes;
        int recorded;
    };
    const Case cases[] = {
        {__LINE__, {}, 0},       {__LINE__, {1}, 1},        {__LINE__, {255}, 255},
        {__LINE__, {1, 255}, 1}, {__LINE__, {255, 1}, 255}, {__LINE__, {1, 2}, 2},
        {__LINE__, {2, 1}, 2},   {__LINE__, {255, 2}, 255}, {__LINE__, {5, 2}, 5},
        {__LINE__, {5, 1}, 5},   {__LINE__, {2, 5}, 5},     {__LINE__, {5, 3}, 3},
        {__LINE__, {2, 2}, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "case at line " << c.line);
        ErrorReporter reporter;
        for (int code : c.codes) reporter.SetErrorCode(code);
        EXPECT_EQ(reporter.ErrorCode(), c.recorded);
        EXPECT_EQ(reporter.ErrorCount(), static_cast<int>(c.codes.size()));
    }
}

TEST(ErrorReporter, MemoryErrorThrowsEightAndRecordsIt) {
    ErrorReporter reporter;
    reporter.SetErrorCode(1);
    try {
        reporter.MemoryError();
        FAIL() << "MemoryError returned";
    } catch (int code) {
        EXPECT_EQ(code, 8);
    }
    EXPECT_EQ(reporter.ErrorCode(), 8);
    EXPECT_EQ(reporter.ErrorCount(), 2);
    reporter.Reset();
    EXPECT_EQ(reporter.ErrorCode(), 0);
    EXPECT_EQ(reporter.ErrorCount(), 0);
}

TEST(ErrorReporter, ThrowRecordsByTheRules) {
    ErrorReporter reporter;
    reporter.SetErrorCode(2);
    EXPECT_THROW(reporter.Throw(1), int);
    // 1 does not replace 2, but is counted.
    EXPECT_EQ(reporter.ErrorCode(), 2);
    EXPECT_EQ(reporter.ErrorCount(), 2);
}

TEST(Array, CapacityGrowsByAQuarterAndThirtyTwo) {
    Array<int> array;
    EXPECT_EQ(array.Count(), 0);
    EXPECT_EQ(array.Capacity(), 0);
    EXPECT_EQ(array.Data(), nullptr);
    std::vector<int> capacities;
    for (int i = 0; i < 300; ++i) {
        int before = array.Capacity();
        array.Append(i * 3);
        if (array.Capacity() != before) capacities.push_back(array.Capacity());
    }
    EXPECT_EQ(capacities, (std::vector<int>{32, 72, 122, 184, 262, 359}));
    ASSERT_EQ(array.Count(), 300);
    for (int i = 0; i < 300; ++i) ASSERT_EQ(array[i], i * 3) << "at " << i;
}

TEST(Array, GrowByMoreThanTheStepTakesTheCount) {
    Array<int> array;
    array.Grow(5);
    EXPECT_EQ(array.Count(), 5);
    EXPECT_EQ(array.Capacity(), 32);
    array.Grow(100);
    EXPECT_EQ(array.Count(), 105);
    EXPECT_EQ(array.Capacity(), 105);
    array.Append(7);
    EXPECT_EQ(array.Capacity(), 105 + 105 / 4 + 32);
    EXPECT_EQ(array[105], 7);
}

TEST(Array, ACountBeyondAnyMemoryEndsInTheReporter) {
    TheErrorReporter().Reset();
    Array<int> array;
    array.Append(1);
    // The count would overflow; no allocation is tried and the values stay.
    EXPECT_THROW(array.Grow(INT_MAX), int);
    EXPECT_EQ(TheErrorReporter().ErrorCode(), 8);
    EXPECT_EQ(array.Count(), 1);
    EXPECT_EQ(array[0], 1);
    TheErrorReporter().Reset();
}

}  // namespace
