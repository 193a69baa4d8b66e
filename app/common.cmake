# Pieces every area of the editor shares: message boxes, dialog units, the
# command list and table with the enabling rules, and the builder of actions
# and toolbars from that table.
add_library(prax_common STATIC
  ${CMAKE_CURRENT_LIST_DIR}/commandids.h
  ${CMAKE_CURRENT_LIST_DIR}/commands.cpp ${CMAKE_CURRENT_LIST_DIR}/commands.h
  ${CMAKE_CURRENT_LIST_DIR}/commandui.cpp ${CMAKE_CURRENT_LIST_DIR}/commandui.h
  ${CMAKE_CURRENT_LIST_DIR}/msgbox.cpp ${CMAKE_CURRENT_LIST_DIR}/msgbox.h
  ${CMAKE_CURRENT_LIST_DIR}/dialogunits.cpp ${CMAKE_CURRENT_LIST_DIR}/dialogunits.h
  ${CMAKE_CURRENT_LIST_DIR}/toolbartips.cpp ${CMAKE_CURRENT_LIST_DIR}/toolbartips.h
  ${CMAKE_CURRENT_LIST_DIR}/profilepath.cpp ${CMAKE_CURRENT_LIST_DIR}/profilepath.h
  ${CMAKE_CURRENT_LIST_DIR}/editorsettings.cpp ${CMAKE_CURRENT_LIST_DIR}/editorsettings.h)
target_include_directories(prax_common PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(prax_common PUBLIC Qt6::Widgets engine PRIVATE prax_warnings)
