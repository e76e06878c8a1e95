#pragma once
// Icons of the application's image lists, through the framework's icon hook
// that the image data module installs.
#include <QIcon>

namespace vela {

enum TImageList : int { IL_Network = 0, IL_State = 1 };

// A null icon without a hook, for a negative index or one the list lacks.
QIcon ListIcon(int List, int Index);

}  // namespace vela
