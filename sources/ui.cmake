# The recording sources' windows (Qt side).
target_sources(tarvo_ui PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/CFileInfoView.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CFileInfoView.h
  ${CMAKE_CURRENT_LIST_DIR}/CFileLoadDlg.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CFileLoadDlg.h)
