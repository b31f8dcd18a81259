#include "shellext/SystemVersion.h"

#include <windows.h>

#include "common/WindowsVersion.h"

namespace Marrowgate {

bool IsNtFamily() noexcept {
    return (::GetVersion() & 0x80000000u) == 0;
}

bool IsVistaOrLater() noexcept { return Common::IsWindowsVersionOrLater(6, 0); }

}  // namespace Marrowgate
