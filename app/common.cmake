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
  ${CMAKE_CURRENT_LIST_DIR}/paletteicon.cpp ${CMAKE_CURRENT_LIST_DIR}/paletteicon.h
  ${CMAKE_CURRENT_LIST_DIR}/editorsettings.cpp ${CMAKE_CURRENT_LIST_DIR}/editorsettings.h)
target_include_directories(prax_common PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(prax_common PUBLIC Qt6::Widgets Qt6::Svg engine PRIVATE prax_warnings)
# The toolbar icons, under ":/prax/icons/".
file(GLOB PRAX_ICON_FILES CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/resources/icons/*.svg)
qt_add_resources(prax_common prax_icons
  PREFIX /prax
  BASE ${CMAKE_CURRENT_LIST_DIR}/resources
  FILES ${PRAX_ICON_FILES})
