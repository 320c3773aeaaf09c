#include <gtest/gtest.h>

#include "scene/Scene.h"

TEST(Scene, Placeholder) { Scene s; s.CountScene(); EXPECT_EQ(s.m_stats.objects, 0); }
