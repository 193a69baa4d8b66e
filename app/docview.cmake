# The document and its editor view (QScintilla) with the formatting commands,
# and the file operations those commands use.
add_library(prax_docview STATIC
  ${CMAKE_CURRENT_LIST_DIR}/embedlock.cpp
  ${CMAKE_CURRENT_LIST_DIR}/embedlock.h
  ${CMAKE_CURRENT_LIST_DIR}/fileops.cpp
  ${CMAKE_CURRENT_LIST_DIR}/fileops.h
  ${CMAKE_CURRENT_LIST_DIR}/findreplace.cpp
  ${CMAKE_CURRENT_LIST_DIR}/findreplace.h
  ${CMAKE_CURRENT_LIST_DIR}/praxdoc.cpp
  ${CMAKE_CURRENT_LIST_DIR}/praxdoc.h
  ${CMAKE_CURRENT_LIST_DIR}/praxview.cpp
  ${CMAKE_CURRENT_LIST_DIR}/praxview.h)
target_include_directories(prax_docview PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(prax_docview PUBLIC prax_common engine QScintilla::QScintilla Qt6::Widgets Qt6::PrintSupport)
target_compile_options(prax_docview PRIVATE -Wall -Wextra)
