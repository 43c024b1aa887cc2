# Still capture, printing and the export. Their pictures, JPEG files, fonts and PDF pages need
# only Qt Gui, so they form a library of their own that tarvo-tool links without
# the viewer's widgets; the commands with their dialogs go to tarvo_ui.
set(media_dir ${CMAKE_CURRENT_LIST_DIR})
add_library(tarvo_media STATIC
  ${media_dir}/capture/CaptureJpeg.cpp ${media_dir}/capture/CaptureJpeg.h
  ${media_dir}/capture/HeadlessChannelWindow.cpp ${media_dir}/capture/HeadlessChannelWindow.h
  ${media_dir}/capture/RecordingMoment.cpp ${media_dir}/capture/RecordingMoment.h
  ${media_dir}/capture/StillCapture.cpp ${media_dir}/capture/StillCapture.h
  ${media_dir}/print/PrintContext.cpp ${media_dir}/print/PrintContext.h
  ${media_dir}/print/ReportPainter.cpp ${media_dir}/print/ReportPainter.h
  ${media_dir}/print/ReportPdf.cpp ${media_dir}/print/ReportPdf.h
  ${media_dir}/export/EvidencePackage.cpp ${media_dir}/export/EvidencePackage.h
  ${media_dir}/export/OverlayPainter.cpp ${media_dir}/export/OverlayPainter.h)
target_include_directories(tarvo_media PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(tarvo_media PUBLIC tarvo_core tarvo_playback Qt6::Gui PRIVATE tarvo_warnings)

target_sources(tarvo_ui PRIVATE
  ${media_dir}/capture/CaptureCommand.cpp ${media_dir}/capture/CaptureCommand.h
  ${media_dir}/export/CExportDlg.cpp ${media_dir}/export/CExportDlg.h
  ${media_dir}/print/PrintCommand.cpp ${media_dir}/print/PrintCommand.h)
target_link_libraries(tarvo_ui PUBLIC tarvo_media)

# The zoom window keeps its own list.
include(${media_dir}/zoom/ui.cmake)
