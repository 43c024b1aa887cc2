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

# The tile fetcher (Qt Network only), for the map module and its tests.
add_library(tarvo_tiles STATIC
  ${CMAKE_CURRENT_LIST_DIR}/TileFetcher.cpp
  ${CMAKE_CURRENT_LIST_DIR}/TileFetcher.h)
target_include_directories(tarvo_tiles PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(tarvo_tiles PUBLIC Qt6::Network PRIVATE tarvo_warnings)
set_source_files_properties(${CMAKE_CURRENT_LIST_DIR}/MapTiles.cpp PROPERTIES
  COMPILE_DEFINITIONS "TARVO_VERSION=\"${PROJECT_VERSION}\"")

# The web engine sits in a module of its own, loaded when the map page first shows, so
# that the viewer's start-up does not load its libraries.
add_library(tarvo_mapbrowser MODULE
  ${CMAKE_CURRENT_LIST_DIR}/MapPage.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MapPage.h
  ${CMAKE_CURRENT_LIST_DIR}/WebEngineMapBrowser.cpp)
target_include_directories(tarvo_mapbrowser PRIVATE ${CMAKE_SOURCE_DIR})
target_link_libraries(tarvo_mapbrowser PRIVATE Qt6::WebEngineWidgets tarvo_tiles tarvo_warnings)
add_dependencies(tarvo_ui tarvo_mapbrowser)

# Leaflet comes from Debian's libjs-leaflet and is used in place: bin/map/leaflet links
# to its folder, as the installed page's does, so the map never fetches its code at run
# time and never carries a copy of it.
find_path(TARVO_LEAFLET_DIR leaflet.js PATHS /usr/share/javascript/leaflet NO_DEFAULT_PATH)
if(NOT TARVO_LEAFLET_DIR)
  message(FATAL_ERROR "Leaflet not found in /usr/share/javascript/leaflet: install libjs-leaflet")
endif()
set(TARVO_MAP_OUT ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/map)
add_custom_command(OUTPUT ${TARVO_MAP_OUT}/map.htm ${TARVO_MAP_OUT}/leaflet.stamp
  COMMAND ${CMAKE_COMMAND} -E make_directory ${TARVO_MAP_OUT}
  COMMAND ${CMAKE_COMMAND} -E copy_if_different ${CMAKE_CURRENT_LIST_DIR}/map.htm ${TARVO_MAP_OUT}/map.htm
  # A copy left by an older build goes; a link is replaced by create_symlink alone.
  COMMAND sh -c "if [ -d \"$1\" ] && [ ! -L \"$1\" ]; then rm -r \"$1\"; fi" sh ${TARVO_MAP_OUT}/leaflet
  COMMAND ${CMAKE_COMMAND} -E create_symlink ${TARVO_LEAFLET_DIR} ${TARVO_MAP_OUT}/leaflet
  COMMAND ${CMAKE_COMMAND} -E touch ${TARVO_MAP_OUT}/leaflet.stamp
  DEPENDS ${CMAKE_CURRENT_LIST_DIR}/map.htm
  COMMENT "Map page beside the viewer, Leaflet linked in place"
  VERBATIM)
add_custom_target(tarvo_map_page ALL DEPENDS ${TARVO_MAP_OUT}/map.htm ${TARVO_MAP_OUT}/leaflet.stamp)
add_dependencies(tarvo_ui tarvo_map_page)
