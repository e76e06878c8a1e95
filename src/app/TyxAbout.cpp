#include "app/TyxAbout.h"

#include <QApplication>
#include <QDesktopServices>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

namespace vela {

namespace {
TTyxAboutForm* gAboutForm = nullptr;

QLabel* MakeLink(const QString& address, QWidget* parent) {
  auto* label = new QLabel(address, parent);
  label->setAlignment(Qt::AlignCenter);
  label->setCursor(Qt::PointingHandCursor);
  label->setStyleSheet(QStringLiteral("color: blue;"));
  return label;
}
}  // namespace

TTyxAboutForm* TyxAboutForm() { return gAboutForm; }
void SetTyxAboutForm(TTyxAboutForm* form) { gAboutForm = form; }

TTyxAboutForm::TTyxAboutForm(QWidget* parent) : QDialog(parent) {
  auto* layout = new QVBoxLayout(this);
  Image1 = new QLabel(this);
  Image1->setPixmap(QIcon(QStringLiteral(":/icons/about.svg")).pixmap(96, 96));
  Image1->setAlignment(Qt::AlignCenter);
  Label1 = MakeLink(QStringLiteral("https://www.velanet.example/"), this);
  Label2 = MakeLink(QStringLiteral("https://www.velanet.example/tyx"), this);
  Button1 = new QPushButton(QStringLiteral("Ok"), this);
  layout->addWidget(Image1);
  layout->addWidget(Label1);
  layout->addWidget(Label2);
  layout->addWidget(Button1, 0, Qt::AlignHCenter);
  for (QLabel* l : {Label1, Label2}) l->installEventFilter(this);
  connect(Button1, &QPushButton::clicked, this, [this] { done(QDialog::Accepted); });
  resize(265, 237);
  FormCreate();
}

void TTyxAboutForm::FormCreate() { setWindowTitle(QApplication::applicationDisplayName()); }

void TTyxAboutForm::Label1Click(QLabel* label) { QDesktopServices::openUrl(QUrl(label->text())); }

bool TTyxAboutForm::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::MouseButtonRelease && (watched == Label1 || watched == Label2)) {
    Label1Click(static_cast<QLabel*>(watched));
    return true;
  }
  return QDialog::eventFilter(watched, event);
}

}  // namespace vela
