#pragma once
// The field-bound bitmap button: a caption (and icon) from one field of an
// object, preferring its real-time status object; a click can toggle a bool
// field or the object's status bits.
#include <QPushButton>
#include <cstdint>
#include <functional>

#include "browser/BoundField.h"
#include "browser/VelaControls.h"
#include "browser/VelaEdit.h"
#include "framework/VelaTypes.h"
#include "platform/Messages.h"

namespace vela {

class TVelaObject;
class TRealTime;
class TVelaMenuItem;

using TSaBitButtonOnGetFF = TOnGetFF;
using TSaBitButtonOnRealTimeChanged = TOnRealTimeChanged;

class TSaBitButton : public QPushButton, public TMessageReceiver {
 public:
  explicit TSaBitButton(QWidget* Parent = nullptr);
  ~TSaBitButton() override;

  TVelaObject* VlaObject() const { return fBinding.Object(); }
  void SetVlaObject(TVelaObject* Obj);
  TRealTime* RTObject() const;
  uint32_t FieldId() const { return fFieldId; }
  void SetFieldId(uint32_t Id) { fFieldId = Id; }
  TSFieldKind FieldKind() const { return fFieldKind; }
  void SetFieldKind(TSFieldKind Kind) { fFieldKind = Kind; }
  bool AutoIcon() const { return fAutoIcon; }
  void SetAutoIcon(bool v) { fAutoIcon = v; }
  bool IconExpanded() const { return fIconExpanded; }
  void SetIconExpanded(bool v) { fIconExpanded = v; }
  bool DoToggleStBits() const { return fDoToggleStBits; }
  void SetDoToggleStBits(bool v) { fDoToggleStBits = v; }
  bool ListenData() const { return fBinding.ListenData(); }
  void SetListenData(bool v);
  bool NoIconOnNil() const { return fNoIconOnNil; }
  void SetNoIconOnNil(bool v) { fNoIconOnNil = v; }
  TStBits StatusBits() const { return fBinding.StatusBits(); }
  void SetStatusBits(TStBits v);
  TDtBits StatusDataBits() const { return fBinding.StatusDataBits(); }
  void SetStatusDataBits(TDtBits v);
  bool WheelInc() const { return fWheelInc; }
  void SetWheelInc(bool v) { fWheelInc = v; }
  // The image list index shown (-1: none).
  int ImageIndex() const { return fImageIndex; }
  void SetImageIndex(int Index);

  std::function<void(TVelaMenuItem* Items)> OnCreatePopupMenu;
  TNotifyEvent OnDataChanged;
  TSaBitButtonOnGetFF OnGetFF;
  TSaBitButtonOnRealTimeChanged OnRealTimeChanged;
  TsaInIncField onIncField;

  // Reads caption and image again.
  void UpdateDisplay();
  void Dispatch(TMessage& Message) override;

 protected:
  void mousePressEvent(QMouseEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;
  void contextMenuEvent(QContextMenuEvent* e) override;

 private:
  void Clicked();
  bool Increment(int IncX, int IncY);

  TBoundField fBinding{this, false};
  uint32_t fFieldId = 0;
  TSFieldKind fFieldKind = FK_Text;
  bool fAutoIcon = false;
  bool fIconExpanded = false;
  bool fDoToggleStBits = false;
  bool fNoIconOnNil = false;
  bool fWheelInc = false;
  int fImageIndex = -1;
};

}  // namespace vela
