#pragma once
// The main window of the Device Browser: the box list. It creates the box
// manager, starts its network and shows its boxes as a list with columns.
#include <QMenuBar>

#include "app/BasicAppFprm.h"
#include "app/MainOptions.h"

class QAction;

namespace vela {

class TTyxBoxes;
class TVelaBrowser;

class TBasicVelaAppForm1 : public TBasicVelaAppForm {
  Q_OBJECT
 public:
  explicit TBasicVelaAppForm1(TMainWindowOptions Options, QWidget* parent = nullptr);
  ~TBasicVelaAppForm1() override;

  // Title, one blank and the product version (the blank stays when the
  // version is empty).
  static QString MainCaption(const QString& title, const QString& productVersion);

  TVelaBrowser* VelaBrowser1;
  QMenuBar* MainMenu1;
  QAction* About1;

  // The browser's root: the box manager.
  TTyxBoxes* BoxManager() const;

 protected:
  virtual void FormCreate();
  void About1Click();

 private:
  TMainWindowOptions fOptions;
  // Freed with the window; the browser shows it until then.
  TTyxBoxes* fBoxes = nullptr;
};

}  // namespace vela
