#pragma once
// The about box: picture, two web links and "Ok".
#include <QDialog>

class QLabel;
class QPushButton;

namespace vela {

class TTyxAboutForm : public QDialog {
  Q_OBJECT
 public:
  explicit TTyxAboutForm(QWidget* parent = nullptr);

  QLabel* Image1;
  QLabel* Label1;
  QLabel* Label2;
  QPushButton* Button1;

 private:
  void FormCreate();
  void Label1Click(QLabel* label);
  bool eventFilter(QObject* watched, QEvent* event) override;
};

// The about box created at start-up (hidden until asked for), or null.
TTyxAboutForm* TyxAboutForm();
void SetTyxAboutForm(TTyxAboutForm* form);

}  // namespace vela
