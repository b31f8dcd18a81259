#include "ui/framework/SubclassedWindow.h"

namespace Framework {

const wchar_t kSubclassProperty[] = L"Torvane.Framework.Subclass";

}  // namespace Framework
