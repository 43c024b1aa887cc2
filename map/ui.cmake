# The map view, its windows and the placeholders (Qt side), and the map page with
# Leaflet beside the executable: bin/map/map.htm and bin/map/leaflet/.
target_sources(tarvo_ui PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/CBbMapPanelCtrl.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CBbMapPanelCtrl.h
  ${CMAKE_CURRENT_LIST_DIR}/CMapDlg.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CMapDlg.h
  ${CMAKE_CURRENT_LIST_DIR}/CMapNoConnectedWnd.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CMapNoConnectedWnd.h
  ${CMAKE_CURRENT_LIST_DIR}/CMapNoDataWnd.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CMapNoDataWnd.h
  ${CMAKE_CURRENT_LIST_DIR}/CMapViewWnd.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CMapViewWnd.h
  ${CMAKE_CURRENT_LIST_DIR}/MapHost.h
  ${CMAKE_CURRENT_LIST_DIR}/MapBrowser.h
  ${CMAKE_CURRENT_LIST_DIR}/MapBrowserModule.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MapPlaceholderWnd.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MapPlaceholderWnd.h
  ${CMAKE_CURRENT_LIST_DIR}/MapTiles.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MapTiles.h
  ${CMAKE_CURRENT_LIST_DIR}/MapWindows.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MapWindows.h
  ${CMAKE_CURRENT_LIST_DIR}/WebEngineSetup.cpp
  ${CMAKE_CURRENT_LIST_DIR}/WebEngineSetup.h)

# The web engine sits in a module of its own, loaded when the map page first shows, so
# that the viewer's start-up does not load its libraries.
add_library(tarvo_mapbrowser MODULE
  ${CMAKE_CURRENT_LIST_DIR}/MapPage.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MapPage.h
  ${CMAKE_CURRENT_LIST_DIR}/WebEngineMapBrowser.cpp)
target_include_directories(tarvo_mapbrowser PRIVATE ${CMAKE_SOURCE_DIR})
target_link_libraries(tarvo_mapbrowser PRIVATE Qt6::WebEngineWidgets tarvo_warnings)
add_dependencies(tarvo_ui tarvo_mapbrowser)

# Leaflet comes from Debian's libjs-leaflet and is copied beside the page, so the map
# never fetches its code at run time.
find_path(TARVO_LEAFLET_DIR leaflet.js PATHS /usr/share/javascript/leaflet NO_DEFAULT_PATH)
if(NOT TARVO_LEAFLET_DIR)
  message(FATAL_ERROR "Leaflet not found in /usr/share/javascript/leaflet: install libjs-leaflet")
endif()
set(map_out ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/map)
set(map_files ${map_out}/map.htm ${map_out}/leaflet/leaflet.js ${map_out}/leaflet/leaflet.css)
set(leaflet_images layers.png layers-2x.png marker-icon.png marker-icon-2x.png marker-shadow.png)
set(copy_images)
foreach(image ${leaflet_images})
  if(EXISTS ${TARVO_LEAFLET_DIR}/images/${image})
    list(APPEND map_files ${map_out}/leaflet/images/${image})
    list(APPEND copy_images COMMAND ${CMAKE_COMMAND} -E copy_if_different
      ${TARVO_LEAFLET_DIR}/images/${image} ${map_out}/leaflet/images/${image})
  endif()
endforeach()
add_custom_command(OUTPUT ${map_files}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${map_out}/leaflet/images
  COMMAND ${CMAKE_COMMAND} -E copy_if_different ${CMAKE_CURRENT_LIST_DIR}/map.htm ${map_out}/map.htm
  COMMAND ${CMAKE_COMMAND} -E copy_if_different ${TARVO_LEAFLET_DIR}/leaflet.js ${map_out}/leaflet/leaflet.js
  COMMAND ${CMAKE_COMMAND} -E copy_if_different ${TARVO_LEAFLET_DIR}/leaflet.css ${map_out}/leaflet/leaflet.css
  ${copy_images}
  DEPENDS ${CMAKE_CURRENT_LIST_DIR}/map.htm ${TARVO_LEAFLET_DIR}/leaflet.js ${TARVO_LEAFLET_DIR}/leaflet.css
  COMMENT "Map page and Leaflet beside the viewer"
  VERBATIM)
add_custom_target(tarvo_map_page ALL DEPENDS ${map_files})
add_dependencies(tarvo_ui tarvo_map_page)
