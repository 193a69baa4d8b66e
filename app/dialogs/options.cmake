# The Options dialog ("Beautifier Settings") with its logo image FMTLOGOU and
# the "Layout Extras" dialog, built into the library the shell links.
add_library(prax_options_dlg STATIC
  ${CMAKE_CURRENT_LIST_DIR}/formatoptionsdlg.cpp
  ${CMAKE_CURRENT_LIST_DIR}/formatoptionsdlg.h
  ${CMAKE_CURRENT_LIST_DIR}/layoutextrasdlg.cpp
  ${CMAKE_CURRENT_LIST_DIR}/layoutextrasdlg.h)
target_include_directories(prax_options_dlg PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(prax_options_dlg PUBLIC prax_common engine Qt6::Widgets)
set_target_properties(prax_options_dlg PROPERTIES AUTOMOC ON)
target_link_libraries(prax_options_dlg PRIVATE prax_warnings)

# The logo is looked up as ":/options/FMTLOGOU.png" (caption "FMTLOGO" + "U").
qt_add_resources(prax_options_dlg prax_options_images
  PREFIX /options
  BASE ${CMAKE_CURRENT_LIST_DIR}/../resources/options
  FILES ${CMAKE_CURRENT_LIST_DIR}/../resources/options/FMTLOGOU.png)
