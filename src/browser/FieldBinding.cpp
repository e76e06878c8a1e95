#include "browser/FieldBinding.h"

#include "browser/VelaBitButton.h"
#include "browser/VelaCheckBox.h"
#include "browser/VelaComboBox.h"
#include "browser/VelaEdit.h"

namespace vela {

void BindFieldControl(QWidget* Control, TVelaObject* Obj) {
  if (auto* c = dynamic_cast<TsaCheckBox*>(Control))
    c->SetMyObject(Obj);
  else if (auto* b = dynamic_cast<TsaComboBox*>(Control))
    b->SetMyObject(Obj);
  else if (auto* e = dynamic_cast<TsaEdit*>(Control); e && !dynamic_cast<TVelaEdit*>(Control))
    e->SetMyObject(Obj);
  else if (auto* t = dynamic_cast<TSaBitButton*>(Control))
    t->SetVlaObject(Obj);
}

}  // namespace vela
