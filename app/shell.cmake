# The application shell: the application object, which starts up and wires
# the windows and the embedding server together, the About box, and the prax
# executable.
add_library(prax_shell STATIC
  ${CMAKE_CURRENT_LIST_DIR}/aboutdlg.cpp
  ${CMAKE_CURRENT_LIST_DIR}/aboutdlg.h
  ${CMAKE_CURRENT_LIST_DIR}/praxapp.cpp
  ${CMAKE_CURRENT_LIST_DIR}/praxapp.h)
set_target_properties(prax_shell PROPERTIES AUTOMOC ON)
target_include_directories(prax_shell PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(prax_shell PUBLIC prax_embed prax_windows prax_common prax_version engine Qt6::Widgets Qt6::PrintSupport
                      QScintilla::QScintilla PRIVATE prax_warnings)

qt_add_executable(prax ${CMAKE_CURRENT_LIST_DIR}/main.cpp)
target_link_libraries(prax PRIVATE prax_shell prax_warnings)
# The help file sits beside the executable, named after it.
add_custom_command(TARGET prax POST_BUILD
  COMMAND ${CMAKE_COMMAND} -E copy_if_different ${CMAKE_CURRENT_LIST_DIR}/resources/prax.html
          $<TARGET_FILE_DIR:prax>/prax.html)

# Redraws the committed bitmaps (see resources/makeimages.cpp); not built by default.
add_executable(prax_make_images EXCLUDE_FROM_ALL ${CMAKE_CURRENT_LIST_DIR}/resources/makeimages.cpp)
target_link_libraries(prax_make_images PRIVATE Qt6::Gui prax_warnings)
