#pragma once
// One binding call for the field-bound controls a frame holds, so that a
// frame need not know which kind of control it placed.
class QWidget;

namespace vela {

class TVelaObject;

// Binds a check box, choice box, text edit (TsaEdit) or bitmap button through
// its own binding; other widgets are left alone. The older edit and the
// caption controls have BindVelaEdit and BindVelaControl.
void BindFieldControl(QWidget* Control, TVelaObject* Obj);

}  // namespace vela
