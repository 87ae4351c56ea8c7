#include "app/core/RemoveDoubleBackslashes.h"

#include <gtest/gtest.h>

namespace {
struct Example {
    const char* input;
    const char* result;
};

class RemoveDoubleBackslashesTest : public testing::TestWithParam<Example> {};

TEST_P(RemoveDoubleBackslashesTest, CollapsesInOnePass)
{
    EXPECT_EQ(RemoveDoubleBackslashes(QString::fromUtf8(GetParam().input)), QString::fromUtf8(GetParam().result));
}

// A leading run becomes the root "/"; inner runs of n become n/2 rounded up.
INSTANTIATE_TEST_SUITE_P(Examples, RemoveDoubleBackslashesTest,
                         testing::Values(Example{"/Data//", "/Data/"}, Example{"C://", "C:/"},
                                         Example{"//server/share//", "/server/share/"}, Example{"/x//y", "/x/y"},
                                         Example{"////srv/a", "/srv/a"}, Example{"/", "/"}, Example{"//", "/"},
                                         Example{"a///b", "a//b"}, Example{"a////b", "a//b"}, Example{"", ""},
                                         Example{"plain", "plain"}, Example{"/home/me/", "/home/me/"}));
}  // namespace
