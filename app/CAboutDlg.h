#pragma once
// The about box: the product's title picture, name and version, OK and the button
// that opens the card information view. Frameless, 291 x 160, centred on its owner.

#include <QDialog>
#include <functional>

class CBbButtonCtrl;
class RecordingCollection;
class QLabel;

class CAboutDlg : public QDialog {
  Q_OBJECT

 public:
  static constexpr int kWidth = 291;
  static constexpr int kHeight = 160;
  static constexpr int kIdTitle = 1098;
  static constexpr int kIdName = 1000;
  static constexpr int kIdVersion = 1001;
  static constexpr int kIdOk = 1;
  static constexpr int kIdCardInfo = 1144;

  // `recordings` (may be null) are the ones the card information view sums up; they
  // must outlive the box.
  CAboutDlg(int languageIndex, const RecordingCollection* recordings, QWidget* parent);

  // Opens the card information view over `recordings` (gathering, refusals, the
  // view); an owner may put another action in its place.
  std::function<void()> showCardInformation;

  int LanguageIndex() const { return languageIndex; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  void CentreOnParent();

  int languageIndex;
};
