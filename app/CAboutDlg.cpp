#include "app/CAboutDlg.h"

#include <QLabel>
#include <QPainter>
#include <QPixmap>

#include "controls/CBbButtonCtrl.h"
#include "controls/CBbTextCtrl.h"
#include "controls/ControlId.h"
#include "controls/SkinPalette.h"
#include "res/SkinIds.h"
#include "res/SkinResources.h"
#include "sources/CFileInfoView.h"

namespace {

constexpr int kTextKindName = 8;
constexpr int kTextKindVersion = 9;

}  // namespace

CAboutDlg::CAboutDlg(int language, const RecordingCollection* recordings, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint), languageIndex(language) {
  setObjectName(QStringLiteral("CAboutDlg"));
  setWindowTitle(QStringLiteral("%1 Viewer").arg(QStringLiteral("Tarvo")));
  setFixedSize(kWidth, kHeight);
  setAttribute(Qt::WA_OpaquePaintEvent);

  const skin::LanguageSkin& pictures = skin::LanguageSkinFor(languageIndex);

  auto* title = new QLabel(this);
  SetControlId(title, kIdTitle);
  title->setGeometry(0, 0, skin::kAboutTitleWidth, skin::kAboutTitleHeight);
  title->setPixmap(QPixmap(skin::SkinResourcePath(pictures.aboutTitle)));

  auto* name = new CBbTextCtrl(kIdName, kTextKindName, this);
  name->backgroundColour = skin::kWindowBackground;
  name->setGeometry(30, 50, 230, 20);
  auto* version = new CBbTextCtrl(kIdVersion, kTextKindVersion, this);
  version->backgroundColour = skin::kWindowBackground;
  version->setGeometry(30, 80, 200, 20);

  auto* ok = new CBbButtonCtrl(kIdOk, this);
  ok->SetImages(pictures.okNormal, pictures.okPressed, 0, 0);
  ok->setGeometry(198, 118, skin::kOkWidth, skin::kOkHeight);
  ok->Redraw();
  connect(ok, &CBbButtonCtrl::Clicked, this, &QDialog::accept);

  // The figures are those of the recordings the main window has open.
  showCardInformation = [this, recordings] {
    if (recordings) CFileInfoView::ShowFor(*recordings, languageIndex, this);
  };
  auto* cardInfo = new CBbButtonCtrl(kIdCardInfo, this);
  cardInfo->SetImages(skin::kCardInfoNormal, skin::kCardInfoPressed, 0, 0);
  cardInfo->setGeometry(105, 118, skin::kOkWidth, skin::kOkHeight);
  cardInfo->Redraw();
  connect(cardInfo, &CBbButtonCtrl::Clicked, this, [this] {
    if (showCardInformation) showCardInformation();
  });
}

void CAboutDlg::CentreOnParent() {
  const QWidget* owner = parentWidget();
  if (!owner) return;
  const QRect frame = owner->window()->frameGeometry();
  move(frame.left() + (frame.width() - kWidth) / 2, frame.top() + (frame.height() - kHeight) / 2);
}

void CAboutDlg::showEvent(QShowEvent* event) {
  CentreOnParent();
  QDialog::showEvent(event);
}

void CAboutDlg::paintEvent(QPaintEvent* /*event*/) {
  QPainter painter(this);
  painter.fillRect(rect(), skin::ToColor(skin::kWindowBackground));
}
