// Where a minimised window draws its icon: centred, with the division
// truncating toward zero as C++ integer division does.
#pragma once

constexpr int CentredIconOffset(int nClientExtent, int nIconExtent)
{
    return (nClientExtent - nIconExtent + 1) / 2;
}
