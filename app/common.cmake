# Pieces every area of the editor shares.
add_library(prax_common STATIC
  ${CMAKE_CURRENT_LIST_DIR}/msgbox.cpp ${CMAKE_CURRENT_LIST_DIR}/msgbox.h
  ${CMAKE_CURRENT_LIST_DIR}/dialogunits.cpp ${CMAKE_CURRENT_LIST_DIR}/dialogunits.h
  ${CMAKE_CURRENT_LIST_DIR}/toolbartips.cpp ${CMAKE_CURRENT_LIST_DIR}/toolbartips.h)
target_include_directories(prax_common PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(prax_common PUBLIC Qt6::Widgets engine)
