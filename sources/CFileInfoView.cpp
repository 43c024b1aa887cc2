#include "sources/CFileInfoView.h"

#include <QHeaderView>
#include <QPainter>
#include <QTreeWidget>
#include <string>
#include <utility>

#include "controls/CBbButtonCtrl.h"
#include "controls/CBbTextCtrl.h"
#include "controls/ControlId.h"
#include "controls/LanguageMessageBox.h"
#include "controls/SkinPalette.h"
#include "platform/Paths.h"
#include "res/SkinIds.h"
#include "settings/ApplicationStrings.h"
#include "sources/RecordingCollection.h"

namespace {

// 10 pixels wider than the layout the rows come from: the size of a full 64 GB card
// ("99.9GB" at the most, the settings dialog lists cards under 100 GiB) ran 3 pixels
// past a 200-pixel row. The narrow dialog (250) still has room to its right.
constexpr int kTextWidth = 210;
constexpr int kTextHeight = 20;
constexpr int kRowY[4] = {40, 70, 100, 130};  // total, normal, event, parking
constexpr int kColumnWidths[3] = {50, 200, 80};
constexpr int kColumnTitles[3] = {kAppStrInfoColumnNumber, kAppStrInfoColumnName, kAppStrInfoColumnSize};

// Where the pieces sit, with the file list shown or hidden.
struct Placement {
  QSize dialog;
  QRect list;
  QPoint heading;
  int rowX;
  QPoint ok;
};
constexpr Placement kWide{QSize(CFileInfoView::kWideWidth, CFileInfoView::kWideHeight), QRect(10, 10, 364, 692),
                          QPoint(444, 10), 384, QPoint(541, 160)};
constexpr Placement kNarrow{QSize(CFileInfoView::kNarrowWidth, CFileInfoView::kNarrowHeight), QRect(), QPoint(70, 10),
                            10, QPoint(150, 160)};

}  // namespace

CFileInfoView::CFileInfoView(fileinfo::FileFigures gathered, int languageIndex, QWidget* owner,
                             const std::filesystem::path& markerFolder)
    : QDialog(owner), figures(std::move(gathered)), wide(fileinfo::HasUserMarker(markerFolder)) {
  setObjectName(QStringLiteral("CFileInfoView"));
  setWindowTitle(QStringLiteral("Info"));
  setAttribute(Qt::WA_OpaquePaintEvent);
  CreateControls(languageIndex);
  PlaceControls();
  FillList();
  FillRows();
}

void CFileInfoView::CreateControls(int languageIndex) {
  auto makeText = [this](int id, int kind) {
    auto* text = new CBbTextCtrl(id, kind, this);
    text->backgroundColour = skin::kWindowBackground;
    text->resize(kTextWidth, kTextHeight);
    return text;
  };
  rows[0] = makeText(kIdTotal, kKindTotal);
  rows[1] = makeText(kIdNormal, kKindNormal);
  rows[2] = makeText(kIdEvent, kKindEvent);
  rows[3] = makeText(kIdParking, kKindParking);
  heading = makeText(kIdHeading, kKindHeading);

  list = new QTreeWidget(this);
  SetControlId(list, kIdList);
  list->setRootIsDecorated(false);
  list->setUniformRowHeights(true);
  list->setSelectionBehavior(QAbstractItemView::SelectRows);
  list->setColumnCount(3);
  QStringList titles;
  for (int number : kColumnTitles) titles << QString::fromUtf8(ApplicationString(number));
  list->setHeaderLabels(titles);
  for (int column = 0; column < 3; ++column) {
    list->setColumnWidth(column, kColumnWidths[column]);
    list->headerItem()->setTextAlignment(column, Qt::AlignLeft | Qt::AlignVCenter);
  }
  list->header()->setStretchLastSection(false);

  const skin::LanguageSkin& pictures = skin::LanguageSkinFor(languageIndex);
  auto* button = new CBbButtonCtrl(kIdOk, this);
  button->SetImages(pictures.okNormal, pictures.okPressed, 0, 0);
  button->resize(skin::kOkWidth, skin::kOkHeight);
  button->Redraw();
  connect(button, &CBbButtonCtrl::Clicked, this, &QDialog::accept);
  ok = button;
}

void CFileInfoView::PlaceControls() {
  const Placement& at = wide ? kWide : kNarrow;
  setFixedSize(at.dialog);
  if (wide) {
    list->setGeometry(at.list);
    list->show();
  } else {
    list->hide();
  }
  heading->move(at.heading);
  for (int i = 0; i < 4; ++i) rows[i]->move(at.rowX, kRowY[i]);
  ok->move(at.ok);
}

void CFileInfoView::FillList() {
  // The rows go in whether or not the list is shown.
  QList<QTreeWidgetItem*> items;
  items.reserve(static_cast<qsizetype>(figures.rows.size()));
  int number = 1;
  for (const fileinfo::FileRow& row : figures.rows) {
    auto* item = new QTreeWidgetItem(
        QStringList{QString::number(number++), QString::fromStdString(row.name), QString::fromStdString(row.sizeText)});
    items.push_back(item);
  }
  list->addTopLevelItems(items);
}

void CFileInfoView::FillRows() {
  using fileinfo::FormatCount;
  using fileinfo::FormatGiB;
  rows[0]->countAll = QString::fromStdString(FormatCount(figures.totalCount));
  rows[0]->sizeAll = QString::fromStdString(FormatGiB(figures.totalKiB));
  rows[1]->countNormal = QString::fromStdString(FormatCount(figures.normalCount));
  rows[1]->sizeNormal = QString::fromStdString(FormatGiB(figures.normalKiB));
  rows[2]->countEvent = QString::fromStdString(FormatCount(figures.eventCount));
  rows[2]->sizeEvent = QString::fromStdString(FormatGiB(figures.eventKiB));
  rows[3]->countParking = QString::fromStdString(FormatCount(figures.parkingCount));
  rows[3]->sizeParking = QString::fromStdString(FormatGiB(figures.parkingKiB));
  for (CBbTextCtrl* row : rows) row->update();
}

void CFileInfoView::CentreOnOwner() {
  const QWidget* owner = parentWidget();
  if (owner == nullptr) return;
  const QRect frame = owner->window()->frameGeometry();
  move(frame.left() + (frame.width() - width()) / 2, frame.top() + (frame.height() - height()) / 2);
}

void CFileInfoView::showEvent(QShowEvent* event) {
  CentreOnOwner();
  QDialog::showEvent(event);
}

void CFileInfoView::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), skin::ToColor(skin::kWindowBackground));
}

int CFileInfoView::ShowFor(const RecordingCollection& set, int languageIndex, QWidget* owner) {
  fileinfo::Gathering gathering = fileinfo::GatherFileInformation(set);
  if (gathering.refusal != 0) {
    ShowLanguageMessage(owner, gathering.refusal);
    return gathering.refusal;
  }
  CFileInfoView view(std::move(gathering.figures), languageIndex, owner, platform::ExecutableFolder());
  view.exec();
  return 0;
}
