#include "shellext/ShellExtension.h"

#include "shellext/SystemVersion.h"
#include "shellext/Texts.h"

#include <string>

namespace Marrowgate {

HRESULT MenuCommandString(UINT_PTR command, UINT type, char* buffer, UINT size) noexcept {
    if (command != 0) return E_INVALIDARG;
    if (type != GCS_HELPTEXTW && type != GCS_HELPTEXTA) return E_INVALIDARG;
    // Nothing can be written without room for at least the terminator.
    if (buffer == nullptr || size == 0) return E_INVALIDARG;
    if (type == GCS_HELPTEXTW) {
        ::lstrcpynW(reinterpret_cast<wchar_t*>(buffer), kHelpText, static_cast<int>(size));
        return S_OK;
    }
    char ansi[64];
    const int length = ::WideCharToMultiByte(CP_THREAD_ACP, 0, kHelpText, -1, ansi, sizeof(ansi), nullptr, nullptr);
    if (length == 0) return E_FAIL;
    ::lstrcpynA(buffer, ansi, static_cast<int>(size));
    return S_OK;
}

HBITMAP MenuBitmapForSystem(HBITMAP vistaBitmap, HBITMAP earlierBitmap) noexcept {
    return IsVistaOrLater() ? vistaBitmap : earlierBitmap;
}

void InsertTorvaneMenuEntry(HMENU menu, UINT position, UINT command, HBITMAP bitmap) noexcept {
    ::InsertMenuW(menu, position, MF_BYPOSITION | MF_STRING, command, kMenuText);
    ::SetMenuItemBitmaps(menu, position, MF_BYPOSITION, bitmap, bitmap);
}

}  // namespace Marrowgate
