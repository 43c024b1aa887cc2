#include "picker/CXFolderDialog.h"

#include <QAbstractItemView>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QGridLayout>
#include <QItemSelectionModel>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QSplitter>
#include <QUrl>
#include <algorithm>

#include "controls/ControlId.h"
#include "picker/CHistoryCombo.h"
#include "picker/SelectRule.h"
#include "picker/SettingsProfileStore.h"
#include "settings/LanguageLibrary.h"
#include "settings/StringIds.h"
#include "settings/ViewerSettings.h"
#include "sources/DriveTable.h"

namespace {

// Object names of the file dialog's own widgets (Qt's dialog form).
constexpr const char* kShellViewName = "listView";
constexpr const char* kButtonBoxName = "buttonBox";
constexpr const char* kFileNameLabelName = "fileNameLabel";
constexpr const char* kSplitterName = "splitter";
// Wide enough for "Computer" and a card's name beside their icons.
constexpr int kSidebarMinWidth = 150;
constexpr const char* kStandardRowNames[] = {"fileNameLabel", "fileNameEdit", "fileTypeLabel", "fileTypeCombo"};

// The texts of one language for the dialog's captions: the viewer's active library, or
// a library of its own while the dialog asks for another language.
class PickerTexts {
 public:
  explicit PickerTexts(int languageIndex) {
    const ViewerSettings& active = TheViewerSettings();
    if (languageIndex == CXFolderDialog::kActiveLanguage || languageIndex == active.language) return;
    own.language = languageIndex;
    LoadLanguageLibrary(own);
    useOwn = true;
  }
  ~PickerTexts() { FreeLanguageLibrary(own); }
  PickerTexts(const PickerTexts&) = delete;
  PickerTexts& operator=(const PickerTexts&) = delete;

  // False when the library is missing or lacks the string: the caller keeps its text.
  bool Text(int number, QString& text) {
    std::string found;
    const bool ok =
        useOwn ? LookupLanguageString(own.languageLibrary, number, found) : LoadLanguageString(number, found);
    if (ok) text = QString::fromStdString(found);
    return ok;
  }

 private:
  ViewerSettings own;
  bool useOwn = false;
};

// "~" and "~/..." as the user's home folder, as a typed path is meant.
QString ExpandHome(const QString& path) {
  if (path == QLatin1String("~")) return QDir::homePath();
  if (path.startsWith(QLatin1String("~/"))) return QDir::homePath() + path.mid(1);
  return path;
}

}  // namespace

CXFolderDialog::CXFolderDialog(QWidget* parent, int language) : QFileDialog(parent), languageIndex(language) {
  setObjectName(QStringLiteral("CXFolderDialog"));
  profileFile = picker::DefaultProfileFile();
  setOption(QFileDialog::DontUseNativeDialog, true);
  // Several files or folders may be chosen; folders are picked, the recordings in
  // them are shown so the user sees where they are.
  setFileMode(QFileDialog::ExistingFiles);
  setAcceptMode(QFileDialog::AcceptOpen);
  setNameFilter(QString::fromUtf8(kFilter));
  setSizeGripEnabled(true);

  shellView = findChild<QAbstractItemView*>(QString::fromUtf8(kShellViewName));
  BuildHistoryRow();
  AddCardPlaces();

  auto* model = shellView ? qobject_cast<QFileSystemModel*>(shellView->model()) : nullptr;
  if (model) {
    connect(model, &QFileSystemModel::rootPathChanged, this, &CXFolderDialog::OnFolderChange);
  }
  if (shellView && shellView->selectionModel()) {
    connect(shellView->selectionModel(), &QItemSelectionModel::selectionChanged, this, &CXFolderDialog::OnSelChange);
  }
  OnFolderChange(directory().absolutePath());
  HideStandardControls();
}

void CXFolderDialog::BuildHistoryRow() {
  historyLabel = new QLabel(this);
  SetControlId(historyLabel, kIdHistoryLabel);
  historyCombo = new CHistoryCombo(this);
  SetControlId(historyCombo, kIdHistoryCombo);
  historyCombo->section = QString::fromUtf8(kHistorySection);
  historyCombo->keyPrefix = QString::fromUtf8(kHistoryKeyPrefix);
  historyCombo->saveLast = true;
  historyCombo->SetMaxItems(kHistoryMaxItems);
  historyLabel->setBuddy(historyCombo);
  connect(historyCombo, &CHistoryCombo::PathConfirmed, this, &CXFolderDialog::OnPathConfirmed);

  okButton = new QPushButton(this);
  SetControlId(okButton, kIdOk);
  auto* buttons = findChild<QDialogButtonBox*>(QString::fromUtf8(kButtonBoxName));
  if (buttons) {
    // In the box the button takes the standard OK's place and its accept path, which
    // ends in accept() and so in OnOK.
    if (QPushButton* standardOk = buttons->button(QDialogButtonBox::Open)) okButton->setText(standardOk->text());
    buttons->addButton(okButton, QDialogButtonBox::AcceptRole);
    if (QPushButton* cancel = buttons->button(QDialogButtonBox::Cancel)) SetControlId(cancel, kIdCancel);
  } else {
    connect(okButton, &QPushButton::clicked, this, &CXFolderDialog::OnOK);
  }
  okButton->setDefault(true);

  // The row of the file-name box, which the dialog hides.
  auto* grid = qobject_cast<QGridLayout*>(layout());
  QWidget* nameLabel = findChild<QWidget*>(QString::fromUtf8(kFileNameLabelName));
  const int at = grid && nameLabel ? grid->indexOf(nameLabel) : -1;
  if (at >= 0) {
    int row = 0, column = 0, rowSpan = 0, columnSpan = 0;
    grid->getItemPosition(at, &row, &column, &rowSpan, &columnSpan);
    grid->addWidget(historyLabel, row, column);
    grid->addWidget(historyCombo, row, column + 1);
  } else if (grid) {
    const int row = grid->rowCount();
    grid->addWidget(historyLabel, row, 0);
    grid->addWidget(historyCombo, row, 1);
    if (!buttons) grid->addWidget(okButton, row, 2);
  } else if (QLayout* plain = layout()) {
    plain->addWidget(historyLabel);
    plain->addWidget(historyCombo);
    if (!buttons) plain->addWidget(okButton);
  }
}

void CXFolderDialog::HideStandardControls() {
  for (const char* name : kStandardRowNames) {
    if (QWidget* widget = findChild<QWidget*>(QString::fromUtf8(name))) widget->hide();
  }
  if (auto* buttons = findChild<QDialogButtonBox*>(QString::fromUtf8(kButtonBoxName))) {
    if (QPushButton* standardOk = buttons->button(QDialogButtonBox::Open)) standardOk->hide();
  }
}

void CXFolderDialog::AddCardPlaces() {
  // The places are set whole each time rather than added to what the file dialog
  // remembers from earlier runs, so a card that has gone leaves no dead entry behind.
  QList<QUrl> places = {QUrl(QStringLiteral("file:"))};
  auto add = [&places](const QString& folder) {
    const QUrl url = QUrl::fromLocalFile(folder);
    if (QFileInfo(folder).isDir() && !places.contains(url)) places << url;
  };
  add(QDir::homePath());
  for (const drives::Drive& drive : drives::ListDrives()) {
    if (drive.removable) add(QString::fromStdString(drive.root));
  }
  setSidebarUrls(places);
}

void CXFolderDialog::WidenSidebar() {
  auto* splitter = findChild<QSplitter*>(QString::fromUtf8(kSplitterName));
  if (!splitter || splitter->count() != 2) return;
  QList<int> sizes = splitter->sizes();
  const int total = sizes[0] + sizes[1];
  if (sizes[0] >= kSidebarMinWidth || total < 3 * kSidebarMinWidth) return;
  splitter->setSizes({kSidebarMinWidth, total - kSidebarMinWidth});
}

void CXFolderDialog::InitDialog() {
  historyCombo->SetMaxItems(kHistoryMaxItems);
  if (!profileFile.isEmpty()) {
    QSettings profile(profileFile, QSettings::IniFormat);
    historyCombo->LoadHistory(profile);
  }
  // Start where the user last chose a folder.
  const QFileInfo last(historyCombo->currentText());
  if (last.isDir()) {
    setDirectory(last.absoluteFilePath());
  } else if (last.isFile()) {
    setDirectory(last.absolutePath());
  }
  OnFolderChange(currentFolder);

  PickerTexts texts(languageIndex);
  QString text;
  if (!title.isEmpty()) {
    setWindowTitle(title);
  } else if (texts.Text(kStrPickerTitle, text)) {
    setWindowTitle(text);
  }
  if (texts.Text(kStrPickerHistoryLabel, text)) historyLabel->setText(text);
  if (texts.Text(kStrPickerOk, text)) okButton->setText(text);
  WidenSidebar();
  historyCombo->setFocus();
}

void CXFolderDialog::showEvent(QShowEvent* event) {
  QFileDialog::showEvent(event);
  if (!initialised) {
    initialised = true;
    InitDialog();
  }
  HideStandardControls();
}

void CXFolderDialog::resizeEvent(QResizeEvent* event) {
  QFileDialog::resizeEvent(event);
  HideStandardControls();
}

int CXFolderDialog::DoModal() { return exec() == QDialog::Accepted ? kIdOk : kIdCancel; }

void CXFolderDialog::ShowInEdit(const QString& path) {
  if (historyCombo) historyCombo->setEditText(path);
}

void CXFolderDialog::OnFolderChange(const QString& folder) {
  // The computer's list of file systems is no folder of its own.
  currentFolder = folder == QLatin1String(".") ? QString() : folder;
  selection.clear();
  if (!currentFolder.isEmpty()) selection.push_back(currentFolder.toStdString());
  ShowInEdit(currentFolder);
}

void CXFolderDialog::OnSelChange() {
  if (!shellView || !shellView->selectionModel()) return;
  QModelIndexList picked;
  for (const QModelIndex& index : shellView->selectionModel()->selectedIndexes()) {
    if (index.column() == 0) picked << index;
  }
  std::sort(picked.begin(), picked.end(), [](const QModelIndex& a, const QModelIndex& b) { return a.row() < b.row(); });
  if (picked.isEmpty()) {
    OnFolderChange(currentFolder);
    return;
  }
  auto* model = qobject_cast<const QFileSystemModel*>(shellView->model());
  selection.clear();
  for (const QModelIndex& index : picked) {
    const QString path = model ? model->filePath(index) : index.data(QFileSystemModel::FilePathRole).toString();
    if (path.isEmpty()) continue;
    selection.push_back(path.toStdString());
    ShowInEdit(path);
  }
}

void CXFolderDialog::OnPathConfirmed(const QString& typed) {
  const QString text = ExpandHome(typed.trimmed());
  if (text.isEmpty()) return;
  const QDir base(currentFolder.isEmpty() ? QDir::currentPath() : currentFolder);
  const QFileInfo target(base.absoluteFilePath(text));
  if (target.isDir()) {
    setDirectory(QDir::cleanPath(target.absoluteFilePath()));
  } else if (target.isFile()) {
    setDirectory(target.absolutePath());
    selectFile(target.absoluteFilePath());
  }
  // A path that does not exist leaves the dialog where it is.
}

bool CXFolderDialog::OnOK() {
  if (selection.empty()) return false;
  if (picker::FirstRefusedPath(selection, drives::ListDrives()) >= 0) {
    ShowSelectError();
    return false;
  }
  if (!profileFile.isEmpty()) {
    QSettings profile(profileFile, QSettings::IniFormat);
    historyCombo->SaveHistory(profile);
  }
  QDialog::accept();
  return true;
}

void CXFolderDialog::accept() { OnOK(); }

void CXFolderDialog::ShowSelectError() {
  auto* box =
      new QMessageBox(QMessageBox::Warning, windowTitle(), QString::fromUtf8(kSelectError), QMessageBox::Ok, this);
  box->setObjectName(QStringLiteral("SelectError"));
  box->setAttribute(Qt::WA_DeleteOnClose);
  // Window-modal and without a nested event loop: the picker stays open behind it.
  box->open();
}
