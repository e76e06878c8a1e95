#pragma once
// The browser's header: the focused column's section is drawn in the hot
// look, so that the focused cell's column stands out in the header.
#include <QHeaderView>

namespace vela {

class TBrowserHeaderView : public QHeaderView {
  Q_OBJECT

 public:
  explicit TBrowserHeaderView(QWidget* parent = nullptr) : QHeaderView(Qt::Horizontal, parent) {}
  int FocusedSection() const { return fFocused; }
  void SetFocusedSection(int Section);

 protected:
  void initStyleOptionForIndex(QStyleOptionHeader* option, int logicalIndex) const override;

 private:
  int fFocused = -1;
};

}  // namespace vela
