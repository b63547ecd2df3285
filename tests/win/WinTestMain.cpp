#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

int main(int argc, char** argv)
{
    INITCOMMONCONTROLSEX icc{};
    icc.dwSize = sizeof(icc);
    icc.dwICC = 0xFF;
    InitCommonControlsEx(&icc);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
