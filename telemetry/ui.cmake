# The telemetry views drawn in the skin (Qt side).
target_sources(tarvo_ui PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/CBbSpeedCtrl.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CBbSpeedCtrl.h
  ${CMAKE_CURRENT_LIST_DIR}/CBbGsensorCtrl.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CBbGsensorCtrl.h)
