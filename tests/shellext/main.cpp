// Test entry: COM on this thread (apartment-threaded, like Explorer's), and
// the in-process module set up over this program's own resources.

#include "shellext/MarrowgateModule.h"

#include <windows.h>
#include <objbase.h>

#include <gmock/gmock.h>

int main(int argc, char** argv) {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    Marrowgate::Module().Attach(GetModuleHandleW(nullptr));
    testing::InitGoogleMock(&argc, argv);
    const int result = RUN_ALL_TESTS();
    Marrowgate::Module().Detach();
    CoUninitialize();
    return result;
}
