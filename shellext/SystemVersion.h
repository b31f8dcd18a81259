#pragma once
// The two questions the extension asks about the system it runs on.

namespace Marrowgate {

// Windows NT family (the high bit of GetVersion clear), as opposed to 9x.
bool IsNtFamily() noexcept;

// Windows Vista (6.0, service pack 0.0) or later.
bool IsVistaOrLater() noexcept;

}  // namespace Marrowgate
