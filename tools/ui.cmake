# The media tools' windows (Qt side): each tool folder keeps its own ui.cmake.
file(GLOB tarvo_tool_ui_files CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/*/ui.cmake)
foreach(tool_ui ${tarvo_tool_ui_files})
  include(${tool_ui})
endforeach()
