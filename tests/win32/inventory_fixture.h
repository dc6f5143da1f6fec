// A prepared machine and an inventory that takes its snapshot of it.
#pragma once

#include "testing/prepared_ip_helper.h"
#include "win32/adapter_inventory.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

class InventoryTest : public testing::Test
{
protected:
    // Runs one enumeration and returns what it wrote on standard output.
    CString Enumerate(int& nResult)
    {
        testing::internal::CaptureStdout();
        nResult = m_inventory.EnumerateAdapters();
        CString output = testing::internal::GetCapturedStdout();
        output.erase(std::remove(output.begin(), output.end(), '\r'), output.end());
        return output;
    }

    // Enumerates, expecting success, and returns the records.
    const AdapterList& Snapshot()
    {
        int nResult = 0;
        EXPECT_EQ(Enumerate(nResult), "");
        EXPECT_EQ(nResult, 1);
        return m_inventory.m_AdapterList;
    }

    std::vector<CString> Names() const
    {
        std::vector<CString> names;
        for (const AdapterInfo& info : m_inventory.m_AdapterList)
            names.push_back(info.m_strAdapterName);
        return names;
    }

    CPreparedIpHelper m_helper;
    CAdapterInventory m_inventory{m_helper};
};
