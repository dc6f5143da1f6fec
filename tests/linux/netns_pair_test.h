// A test on a veth pair of its own (testing/netns_pair.h), skipped where
// network namespaces cannot be made.
#pragma once

#include "testing/netns_pair.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

class NetnsPairTest : public testing::Test
{
protected:
    void SetUp() override
    {
        const std::string obstacle = NamespaceTestObstacle();
        if (!obstacle.empty())
            GTEST_SKIP() << obstacle;
        m_pair = std::make_unique<CNetnsPair>();
        if (!m_pair->Failure().empty())
            GTEST_SKIP() << m_pair->Failure();
    }

    std::unique_ptr<CNetnsPair> m_pair;
};
