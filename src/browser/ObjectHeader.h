#pragma once
// The header line of the general browser window: a read-only combo edit and
// a back button (neither performs anything), and the object it stands for.
#include <QFrame>
#include <functional>

class QComboBox;
class QToolButton;

namespace vela {

class TVelaObject;

class TObjectBrowserHeader : public QFrame {
  Q_OBJECT

 public:
  explicit TObjectBrowserHeader(QWidget* parent = nullptr);

  // Stored only.
  TVelaObject* MyNoname() const { return fMyNoname; }
  void SetMyNoname(TVelaObject* Value) { fMyNoname = Value; }
  // The object the header shows; setting another raises OnMyobjectChanged.
  TVelaObject* Myobject() const { return fMyobject; }
  void SetMyobject(TVelaObject* Value);
  std::function<void(TObjectBrowserHeader* Sender)> OnMyobjectChanged;

  QFrame* Panel = nullptr;
  QComboBox* sComboEdit1 = nullptr;
  QToolButton* BackBtn = nullptr;

 private:
  TVelaObject* fMyNoname = nullptr;
  TVelaObject* fMyobject = nullptr;
};

}  // namespace vela
