#include "shellext/DropFiles.h"

#include "shellext/Handles.h"

#include <shellapi.h>
#include <shlobj.h>

#include <new>

namespace Marrowgate {
namespace {

// The names start at offset first and end with an empty name; every name
// and that end must lie inside the block. Counts the names on the way.
template <typename Char>
bool NamesEndInside(const BYTE* block, SIZE_T size, SIZE_T first, UINT& names) {
    const SIZE_T count = (size - first) / sizeof(Char);
    const Char* text = reinterpret_cast<const Char*>(block + first);
    SIZE_T i = 0;
    names = 0;
    for (;;) {
        if (i >= count) return false;
        if (text[i] == 0) return true;  // the empty name: the list ends here
        while (i < count && text[i] != 0) ++i;
        if (i >= count) return false;
        ++i;
        ++names;
    }
}

}  // namespace

bool IsWellFormedDropList(const void* block, SIZE_T size, UINT* nameCount) noexcept {
    UINT names = 0;
    if (nameCount) *nameCount = 0;
    if (block == nullptr || size < sizeof(DROPFILES)) return false;
    const DROPFILES* header = static_cast<const DROPFILES*>(block);
    const SIZE_T first = header->pFiles;
    if (first < sizeof(DROPFILES) || first >= size) return false;
    const BYTE* bytes = static_cast<const BYTE*>(block);
    const bool wellFormed = header->fWide ? NamesEndInside<wchar_t>(bytes, size, first, names)
                                          : NamesEndInside<char>(bytes, size, first, names);
    if (wellFormed && nameCount) *nameCount = names;
    return wellFormed;
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
        UINT names = 0;
        if (!IsWellFormedDropList(lock.data(), ::GlobalSize(memory), &names)) return E_INVALIDARG;

        // The count is the one the walk above found inside the block: some
        // systems' DragQueryFileW counts past the end of an empty list.
        HDROP drop = static_cast<HDROP>(memory);
        result.count = names;
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
