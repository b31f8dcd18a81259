#pragma once
// Reading the file names a data object carries as a CF_HDROP list.

#include <windows.h>
#include <objidl.h>

#include <string>
#include <vector>

namespace Marrowgate {

struct DroppedNames {
    UINT count = 0;                   // names the list says it holds
    std::vector<std::wstring> names;  // the names read whole, in list order
    bool anyUnreadable = false;       // some name could not be read and was left out
};

// Asks the data object for its CF_HDROP list (TYMED_HGLOBAL) and reads every
// name whole, asking each one's length first, so no name is ever cut short.
// E_INVALIDARG when there is no data object, no such list, memory that does
// not lock, or a list that is not well formed; the medium is always released.
HRESULT ReadDroppedNames(IDataObject* data, DroppedNames& result) noexcept;

// Whether a DROPFILES block of the given size holds its names and the empty
// name that ends them entirely inside the block; *nameCount (when given) is
// then the number of names.
bool IsWellFormedDropList(const void* block, SIZE_T size, UINT* nameCount = nullptr) noexcept;

}  // namespace Marrowgate
