# The application shell: start-up, main frame with its command table, help,
# About box, and the prax executable. It links the other areas' libraries when
# they are part of the build.
add_library(prax_shell STATIC
  ${CMAKE_CURRENT_LIST_DIR}/aboutdlg.cpp
  ${CMAKE_CURRENT_LIST_DIR}/aboutdlg.h
  ${CMAKE_CURRENT_LIST_DIR}/childframe.cpp
  ${CMAKE_CURRENT_LIST_DIR}/childframe.h
  ${CMAKE_CURRENT_LIST_DIR}/commands.cpp
  ${CMAKE_CURRENT_LIST_DIR}/commands.h
  ${CMAKE_CURRENT_LIST_DIR}/embedding.cpp
  ${CMAKE_CURRENT_LIST_DIR}/embedding.h
  ${CMAKE_CURRENT_LIST_DIR}/help.cpp
  ${CMAKE_CURRENT_LIST_DIR}/help.h
  ${CMAKE_CURRENT_LIST_DIR}/mainframe.cpp
  ${CMAKE_CURRENT_LIST_DIR}/mainframe.h
  ${CMAKE_CURRENT_LIST_DIR}/praxapp.cpp
  ${CMAKE_CURRENT_LIST_DIR}/praxapp.h)
set_target_properties(prax_shell PROPERTIES AUTOMOC ON)
target_include_directories(prax_shell PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(prax_shell PUBLIC prax_common prax_version engine Qt6::Widgets Qt6::PrintSupport QScintilla::QScintilla)
target_compile_options(prax_shell PRIVATE -Wall -Wextra)
if(TARGET prax_docview)
  target_link_libraries(prax_shell PUBLIC prax_docview)
endif()
if(TARGET prax_embed)
  target_link_libraries(prax_shell PUBLIC prax_embed)
  target_compile_definitions(prax_shell PRIVATE PRAX_HAVE_EMBED)
endif()
if(TARGET prax_options_dlg)
  target_link_libraries(prax_shell PUBLIC prax_options_dlg)
  target_compile_definitions(prax_shell PRIVATE PRAX_HAVE_OPTIONS_DLG)
endif()
if(TARGET prax_batch_dlg)
  target_link_libraries(prax_shell PUBLIC prax_batch_dlg)
  target_compile_definitions(prax_shell PRIVATE PRAX_HAVE_BATCH_DLG)
endif()

# Toolbar strip, logo, icons and the help file, under ":/prax/".
qt_add_resources(prax_shell prax_shell_resources
  PREFIX /prax
  BASE ${CMAKE_CURRENT_LIST_DIR}/resources
  FILES
    ${CMAKE_CURRENT_LIST_DIR}/resources/IDR_MAINFRAME.png
    ${CMAKE_CURRENT_LIST_DIR}/resources/IDR_MAINFRAME_icon.png
    ${CMAKE_CURRENT_LIST_DIR}/resources/IDR_SQLTYPE_icon.png
    ${CMAKE_CURRENT_LIST_DIR}/resources/FMTLOGOU.png
    ${CMAKE_CURRENT_LIST_DIR}/resources/prax.html)

qt_add_executable(prax ${CMAKE_CURRENT_LIST_DIR}/main.cpp)
target_link_libraries(prax PRIVATE prax_shell)
# The help file sits beside the executable, named after it.
add_custom_command(TARGET prax POST_BUILD
  COMMAND ${CMAKE_COMMAND} -E copy_if_different ${CMAKE_CURRENT_LIST_DIR}/resources/prax.html
          $<TARGET_FILE_DIR:prax>/prax.html)

# Redraws the committed bitmaps (see resources/makeimages.cpp); not built by default.
add_executable(prax_make_images EXCLUDE_FROM_ALL ${CMAKE_CURRENT_LIST_DIR}/resources/makeimages.cpp)
target_link_libraries(prax_make_images PRIVATE Qt6::Gui)
