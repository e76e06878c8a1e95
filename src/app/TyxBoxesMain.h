#pragma once
// The main window of the Device Browser.
#include <QMenuBar>

#include "app/BasicAppFprm.h"

class QAction;

namespace vela {

class TBasicVelaAppForm1 : public TBasicVelaAppForm {
  Q_OBJECT
 public:
  explicit TBasicVelaAppForm1(QWidget* parent = nullptr);

  // Title, one blank and the product version (the blank stays when the
  // version is empty).
  static QString MainCaption(const QString& title, const QString& productVersion);

  QWidget* VelaBrowser1;
  QMenuBar* MainMenu1;
  QAction* About1;

 protected:
  virtual void FormCreate();
  void About1Click();
};

}  // namespace vela
