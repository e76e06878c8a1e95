#include "browser/ObjectHeader.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QToolButton>

#include "framework/velaobject.h"

namespace vela {

TObjectBrowserHeader::TObjectBrowserHeader(QWidget* parent) : QFrame(parent) {
  setObjectName(QStringLiteral("ObjectBrowserHeader"));
  resize(408, 25);
  setFixedHeight(25);
  auto* outer = new QHBoxLayout(this);
  outer->setContentsMargins(0, 0, 0, 0);
  Panel = new QFrame(this);
  Panel->setObjectName(QStringLiteral("sPanel1"));
  outer->addWidget(Panel);
  auto* layout = new QHBoxLayout(Panel);
  layout->setContentsMargins(1, 1, 1, 1);
  sComboEdit1 = new QComboBox(Panel);
  sComboEdit1->setObjectName(QStringLiteral("sComboEdit1"));
  sComboEdit1->setEditable(false);  // no direct input
  QFont f = sComboEdit1->font();
  f.setPixelSize(11);
  sComboEdit1->setFont(f);
  QPalette pal = sComboEdit1->palette();
  pal.setColor(QPalette::Base, Qt::white);
  pal.setColor(QPalette::Button, Qt::white);
  sComboEdit1->setPalette(pal);
  layout->addWidget(sComboEdit1, 1);
  BackBtn = new QToolButton(Panel);
  BackBtn->setObjectName(QStringLiteral("BackBtn"));
  BackBtn->setToolTip(QStringLiteral("Back"));
  BackBtn->setText(QStringLiteral("Back"));
  BackBtn->setAutoRaise(true);
  BackBtn->setPopupMode(QToolButton::MenuButtonPopup);
  layout->addWidget(BackBtn);
}

void TObjectBrowserHeader::SetMyobject(TVelaObject* Value) {
  if (Value == fMyobject) return;
  fMyobject = Value;
  sComboEdit1->clear();
  if (Value) sComboEdit1->addItem(Value->NodeText());
  if (OnMyobjectChanged) OnMyobjectChanged(this);
}

}  // namespace vela
