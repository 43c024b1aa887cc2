# The settings dialog and its card formatting (Qt side).
target_sources(tarvo_ui PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/CardWatch.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CardWatch.h
  ${CMAKE_CURRENT_LIST_DIR}/CSettingDlg.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CSettingDlg.h
  ${CMAKE_CURRENT_LIST_DIR}/SettingDlgCommands.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SettingDlgFormat.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SettingDlgHost.h)
