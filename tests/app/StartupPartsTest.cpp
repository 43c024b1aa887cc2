// The pieces of the start-up and the window's helpers that need no playing recording:
// the decoder's registry values, the connection check, the context menu table and the
// loading dialog's sizes and modes.

#include <gtest/gtest.h>

#include <QMenu>
#include <QTest>

#include "WindowInspector.h"
#include "WindowTestSupport.h"
#include "app/CDezirureDovuriDlg.h"
#include "app/ContextMenus.h"
#include "app/DecoderRegistry.h"
#include "app/NetworkState.h"
#include "controls/CBbListCtrl.h"
#include "controls/CSkinVerticleScrollbar.h"
#include "controls/PopupMenus.h"
#include "platform/Registry.h"
#include "settings/ViewerSettings.h"
#include "sources/CFileLoadDlg.h"
#include "tests/support/FileBytes.h"
#include "tests/support/ScopedEnv.h"
#include "tests/support/TempFolder.h"

namespace {

TEST(DecoderRegistry, AFreshHiveGetsTheFourValuesAndASecondStartWritesTheSame) {
  testsupport::TempFolder dir;
  platform::Registry hive(dir / "user.ini");
  app::PrepareDecoderRegistry(hive);
  EXPECT_EQ(hive.GetDword("Software\\GNU\\ffdshow", "multipleInstances"), std::optional<std::uint32_t>(0));
  EXPECT_EQ(hive.GetDword("Software\\GNU\\ffdshow", "isWhitelist"), std::optional<std::uint32_t>(0));
  EXPECT_EQ(hive.GetDword("Software\\GNU\\ffdshow", "h264"), std::optional<std::uint32_t>(1));
  const std::optional<std::string> whitelist = hive.GetBinary("Software\\GNU\\ffdshow", "whitelist");
  ASSERT_TRUE(whitelist.has_value());
  EXPECT_EQ(whitelist->size(), 9500u);
  EXPECT_EQ(hive.GetBinary("Software\\VK\\ffdshow", "whitelist"), whitelist);
  const std::string first = testsupport::ReadBytes(dir / "user.ini");
  app::PrepareDecoderRegistry(hive);
  EXPECT_EQ(testsupport::ReadBytes(dir / "user.ini"), first);
}

TEST(DecoderRegistry, TheWhitelistIsUtf16EndingWithTheViewersOwnNameThenZeros) {
  const std::string buffer = app::WhitelistBuffer();
  ASSERT_EQ(buffer.size(), 9500u);
  std::string text;
  std::size_t i = 0;
  for (; i + 1 < buffer.size() && (buffer[i] || buffer[i + 1]); i += 2) {
    EXPECT_EQ(buffer[i + 1], '\0');
    text.push_back(buffer[i]);
  }
  EXPECT_EQ(text, app::WhitelistText());
  EXPECT_EQ(text.substr(0, 13), "3wPlayer.exe;");
  const std::string last = ";Tarvo Viewer.exe";
  EXPECT_EQ(text.substr(text.size() - last.size()), last);
  for (; i < buffer.size(); ++i) ASSERT_EQ(buffer[i], '\0') << i;
}

TEST(NetworkState, TheVariableForcesTheAnswerInAnyCase) {
  EXPECT_EQ(app::NetworkState::Forced("online"), std::optional<bool>(true));
  EXPECT_EQ(app::NetworkState::Forced("OFFLINE"), std::optional<bool>(false));
  EXPECT_EQ(app::NetworkState::Forced("maybe"), std::nullopt);
  EXPECT_EQ(app::NetworkState::Forced(nullptr), std::nullopt);
  testsupport::ScopedEnv offline("TARVO_NETWORK", "offline");
  EXPECT_FALSE(app::NetworkState().Connected());
  testsupport::ScopedEnv online("TARVO_NETWORK", "online");
  EXPECT_TRUE(app::NetworkState().Connected());
}

TEST(NetworkState, OnlyAnActiveDefaultRouteOffTheLoopbackCounts) {
  const std::string heading = "Iface\tDestination\tGateway\tFlags\tRefCnt\tUse\tMetric\tMask\n";
  EXPECT_TRUE(app::NetworkState::HasDefaultRoute(heading + "eth0\t00000000\t010200C0\t0003\t0\t0\t0\t00000000\n"));
  EXPECT_FALSE(app::NetworkState::HasDefaultRoute(heading + "eth0\t000200C0\t00000000\t0001\t0\t0\t0\t00FFFFFF\n"));
  EXPECT_FALSE(app::NetworkState::HasDefaultRoute(heading + "eth0\t00000000\t010200C0\t0002\t0\t0\t0\t00000000\n"));
  EXPECT_FALSE(app::NetworkState::HasDefaultRoute(heading + "lo\t00000000\t00000000\t0001\t0\t0\t0\t00000000\n"));
  EXPECT_FALSE(app::NetworkState::HasDefaultRoute(""));
}

TEST(ContextMenus, EveryLanguageHasItsPlaybackPopupAtItsIndexAndTheFilterPopupBeside) {
  for (int language = 0; language < 12; ++language) {
    const int playback = PlaybackPopupIndex(language);
    EXPECT_EQ(app::LanguageOfPopup(playback), language);
    EXPECT_TRUE(app::IsPlaybackPopup(playback));
    EXPECT_FALSE(app::IsPlaybackPopup(playback + 1));
    const std::vector<app::MenuItem> items = app::PopupItems(playback);
    ASSERT_EQ(items.size(), 12u) << language;
    EXPECT_EQ(items[0].id, app::kMenuOpen);
    EXPECT_EQ(items[1].id, app::kMenuPlayPause);
    EXPECT_EQ(items[2].id, app::kMenuPrevious);
    EXPECT_EQ(items[3].id, app::kMenuNext);
    // The three sub-menus hold the brightness, speed and volume commands in order.
    std::vector<int> sub;
    for (int s = 4; s < 7; ++s)
      for (const app::MenuItem& child : items[static_cast<std::size_t>(s)].children) sub.push_back(child.id);
    EXPECT_EQ(sub, (std::vector<int>{32814, 32815, 32816, 32817, 32818, 32819, 32820, 32821, 32822})) << language;
    // The export's entries follow, after the existing ones.
    EXPECT_EQ(items[7].id, app::kMenuMarkStart);
    EXPECT_EQ(items[8].id, app::kMenuMarkEnd);
    EXPECT_EQ(items[9].id, app::kMenuExportClip);
    EXPECT_EQ(items[10].id, app::kMenuExportPackage);
    for (const app::MenuItem& item : items) EXPECT_FALSE(item.text.isEmpty()) << language;
    // Last, the key-help window with its key.
    EXPECT_EQ(items.back().id, app::kMenuKeyHelp);
    EXPECT_TRUE(items.back().text.endsWith(QStringLiteral("\tF1"))) << language;
    const std::vector<app::MenuItem> filters = app::PopupItems(playback + 1);
    ASSERT_EQ(filters.size(), 4u);
    EXPECT_EQ(filters[0].id, app::kMenuFilterAll);
    EXPECT_EQ(filters[3].id, app::kMenuFilterParking);
  }
  EXPECT_TRUE(app::PopupItems(24).empty());
  EXPECT_TRUE(app::PopupItems(-1).empty());
}

TEST(ContextMenus, TheBuiltMenuCarriesTheCommandIdsOfItsItems) {
  apptest::EnsureApplication();
  QMenu* menu = app::BuildPopup(PlaybackPopupIndex(2), nullptr);
  const QList<QAction*> actions = menu->actions();
  ASSERT_EQ(actions.size(), 13);
  EXPECT_EQ(actions[0]->data().toInt(), app::kMenuOpen);
  EXPECT_EQ(actions[0]->text(), QString::fromUtf8("Öffnen\tCtrl+O"));
  ASSERT_NE(actions[6]->menu(), nullptr);
  EXPECT_EQ(actions[6]->menu()->actions()[2]->data().toInt(), app::kMenuMute);
  // A line, then the export's entries in the popup's own language, whatever runs.
  EXPECT_TRUE(actions[7]->isSeparator());
  EXPECT_EQ(actions[8]->data().toInt(), app::kMenuMarkStart);
  EXPECT_EQ(actions[8]->text(), QString::fromUtf8("Start markieren\tI"));
  EXPECT_EQ(actions[11]->text(), QString::fromUtf8("Beweispaket exportieren..."));
  // Last, the key-help window.
  EXPECT_EQ(actions[12]->data().toInt(), app::kMenuKeyHelp);
  EXPECT_EQ(actions[12]->text(), QString::fromUtf8("Tasten und Maus\tF1"));
  delete menu;
}

TEST(LoadingDialog, WidthByLanguageHeightHundredCentredOverTheOwner) {
  apptest::EnsureApplication();
  EXPECT_EQ(CFileLoadDlg::WidthFor(0), 350);
  EXPECT_EQ(CFileLoadDlg::WidthFor(6), 400);
  EXPECT_EQ(CFileLoadDlg::WidthFor(1), 300);
  EXPECT_EQ(CFileLoadDlg::WidthFor(11), 300);
  QWidget owner;
  owner.setGeometry(100, 50, 1034, 742);
  owner.show();
  CFileLoadDlg dlg(&owner);
  TheViewerSettings().language = 6;
  dlg.mode = CFileLoadDlg::kModeOpen;
  dlg.delayOverrideMs = 10000;
  dlg.Run();
  EXPECT_EQ(dlg.size(), QSize(400, 100));
  const QRect frame = owner.frameGeometry();
  EXPECT_EQ(dlg.pos(), QPoint(frame.left() + (frame.width() - 400) / 2, frame.top() + (frame.height() - 100) / 2));
  EXPECT_TRUE(dlg.TimerActive());
  EXPECT_EQ(CFileLoadDlg::DelayFor(CFileLoadDlg::kModeOpen), 3000);
  EXPECT_EQ(CFileLoadDlg::DelayFor(CFileLoadDlg::kModeStartup), 5000);
  TheViewerSettings().language = 0;
}

TEST(LoadingDialog, TheStartupNoticeShowsByItselfAndChangesNothingInTheList) {
  apptest::EnsureApplication();
  CDezirureDovuriDlg dlg;
  dlg.show();
  // Timer 7 runs the notice right after the window shows, without any user action.
  ASSERT_TRUE(apptest::WaitUntil([&] { return app::WindowInspector(dlg).LoadingDialog()->isVisible(); }, 2000));
  EXPECT_EQ(app::WindowInspector(dlg).LoadingDialog()->mode, CFileLoadDlg::kModeStartup);
  EXPECT_TRUE(app::WindowInspector(dlg).LoadingDialog()->isModal());
  int filled = 0;
  app::WindowInspector(dlg).LoadingDialog()->fill = [&](const std::string&) { ++filled; };
  app::WindowInspector(dlg).LoadingDialog()->delayOverrideMs = 0;
  app::WindowInspector(dlg).LoadingDialog()->Run();
  ASSERT_TRUE(apptest::WaitUntil([&] { return !app::WindowInspector(dlg).LoadingDialog()->isVisible(); }, 2000));
  EXPECT_EQ(filled, 0);
  EXPECT_EQ(app::WindowInspector(dlg).FileList()->GetItemCount(), 0);
  EXPECT_EQ(dlg.windowTitle(), QStringLiteral("Tarvo Viewer"));
}

}  // namespace
