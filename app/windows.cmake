# The editor's windows: the main frame with its menus, toolbar, dialog bar and
# status bar, the document windows and the help window, with the images and
# the help file they show (under ":/prax/").
add_library(prax_windows STATIC
  ${CMAKE_CURRENT_LIST_DIR}/childframe.cpp
  ${CMAKE_CURRENT_LIST_DIR}/childframe.h
  ${CMAKE_CURRENT_LIST_DIR}/help.cpp
  ${CMAKE_CURRENT_LIST_DIR}/help.h
  ${CMAKE_CURRENT_LIST_DIR}/lockkeys.cpp
  ${CMAKE_CURRENT_LIST_DIR}/lockkeys.h
  ${CMAKE_CURRENT_LIST_DIR}/mainframe.cpp
  ${CMAKE_CURRENT_LIST_DIR}/mainframe.h)
set_target_properties(prax_windows PROPERTIES AUTOMOC ON)
target_include_directories(prax_windows PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(prax_windows PUBLIC prax_docview prax_options_dlg prax_batch_dlg prax_common engine
                      Qt6::Widgets PRIVATE prax_warnings)
# The status bar's lock-key indicators read the X keyboard extension.
find_package(X11)
if(X11_FOUND)
  target_link_libraries(prax_windows PRIVATE X11::X11)
  target_compile_definitions(prax_windows PRIVATE PRAX_HAVE_X11)
endif()

qt_add_resources(prax_windows prax_windows_resources
  PREFIX /prax
  BASE ${CMAKE_CURRENT_LIST_DIR}/resources
  FILES
    ${CMAKE_CURRENT_LIST_DIR}/resources/IDR_MAINFRAME_icon.png
    ${CMAKE_CURRENT_LIST_DIR}/resources/IDR_SQLTYPE_icon.png
    ${CMAKE_CURRENT_LIST_DIR}/resources/prax.html)
