# The zoom window.
target_sources(tarvo_ui PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/CZoomDlg.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CZoomDlg.h)
