# The document and its editor view (QScintilla) with the formatting commands
# and printing; the formatting commands' text steps (prax_beautify) have no Qt.
add_library(prax_beautify STATIC
  ${CMAKE_CURRENT_LIST_DIR}/beautify.cpp
  ${CMAKE_CURRENT_LIST_DIR}/beautify.h)
target_include_directories(prax_beautify PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(prax_beautify PUBLIC engine PRIVATE prax_warnings)

add_library(prax_docview STATIC
  ${CMAKE_CURRENT_LIST_DIR}/embedlock.cpp
  ${CMAKE_CURRENT_LIST_DIR}/embedlock.h
  ${CMAKE_CURRENT_LIST_DIR}/findreplace.cpp
  ${CMAKE_CURRENT_LIST_DIR}/findreplace.h
  ${CMAKE_CURRENT_LIST_DIR}/praxdoc.cpp
  ${CMAKE_CURRENT_LIST_DIR}/praxdoc.h
  ${CMAKE_CURRENT_LIST_DIR}/praxview.cpp
  ${CMAKE_CURRENT_LIST_DIR}/praxview.h
  ${CMAKE_CURRENT_LIST_DIR}/viewprint.cpp)
target_include_directories(prax_docview PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(prax_docview PUBLIC prax_common prax_beautify engine QScintilla::QScintilla Qt6::Widgets
                      Qt6::PrintSupport PRIVATE prax_warnings)
