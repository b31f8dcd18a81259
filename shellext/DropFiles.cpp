#include "shellext/DropFiles.h"

#include "shellext/Handles.h"

#include <shellapi.h>
#include <shlobj.h>

#include <new>

namespace Marrowgate {
namespace {

// The names start at offset first and end with an empty name; every name
// and that end must lie inside the block.
template <typename Char>
bool NamesEndInside(const BYTE* block, SIZE_T size, SIZE_T first) {
    const SIZE_T count = (size - first) / sizeof(Char);
    const Char* names = reinterpret_cast<const Char*>(block + first);
    SIZE_T i = 0;
    for (;;) {
        if (i >= count) return false;
        if (names[i] == 0) return true;  // the empty name: the list ends here
        while (i < count && names[i] != 0) ++i;
        if (i >= count) return false;
        ++i;
    }
}

}  // namespace

bool IsWellFormedDropList(const void* block, SIZE_T size) noexcept {
    if (block == nullptr || size < sizeof(DROPFILES)) return false;
    const DROPFILES* header = static_cast<const DROPFILES*>(block);
    const SIZE_T first = header->pFiles;
    if (first < sizeof(DROPFILES) || first >= size) return false;
    const BYTE* bytes = static_cast<const BYTE*>(block);
    return header->fWide ? NamesEndInside<wchar_t>(bytes, size, first) : NamesEndInside<char>(bytes, size, first);
}

HRESULT ReadDroppedNames(IDataObject* data, DroppedNames& result) noexcept {
    try {
        result = DroppedNames();
        if (data == nullptr) return E_INVALIDARG;
        FORMATETC format = {CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
        StorageMedium medium;
        if (FAILED(data->GetData(&format, medium.put()))) {
            medium.abandon();
            return E_INVALIDARG;
        }
        if (medium.get().tymed != TYMED_HGLOBAL || medium.get().hGlobal == nullptr) return E_INVALIDARG;
        const HGLOBAL memory = medium.get().hGlobal;
        GlobalLockScope lock(memory);
        if (lock.data() == nullptr) return E_INVALIDARG;
        if (!IsWellFormedDropList(lock.data(), ::GlobalSize(memory))) return E_INVALIDARG;

        HDROP drop = static_cast<HDROP>(memory);
        result.count = ::DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
        for (UINT index = 0; index < result.count; ++index) {
            // The length comes first, without the terminator; then the name whole.
            const UINT length = ::DragQueryFileW(drop, index, nullptr, 0);
            if (length == 0) {
                result.anyUnreadable = true;
                continue;
            }
            std::wstring name(static_cast<std::size_t>(length) + 1, L'\0');
            const UINT copied = ::DragQueryFileW(drop, index, &name[0], length + 1);
            if (copied != length) {
                result.anyUnreadable = true;
                continue;
            }
            name.resize(copied);
            result.names.push_back(std::move(name));
        }
        return S_OK;
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (...) {
        return E_UNEXPECTED;
    }
}

}  // namespace Marrowgate
