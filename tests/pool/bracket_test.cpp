#include <gtest/gtest.h>

#include "pool/bracket.h"

TEST(Bracket, Smoke) { EXPECT_EQ(MakeTeamCode(3, 12), 312); }
