#include "browser/BrowserIcons.h"

#include "framework/FrameworkHooks.h"

namespace vela {

QIcon ListIcon(int List, int Index) {
  auto& hook = FrameworkHooks().Icon;
  if (!hook || Index < 0) return QIcon();
  return hook(List, Index);
}

}  // namespace vela
