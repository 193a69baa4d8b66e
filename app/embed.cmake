# The embedding layer over the session D-Bus: the server containers talk to,
# its server item, the in-place frame, and the start-up steps that set the
# server up. It uses the windows; the shell starts it.
add_library(prax_embed STATIC
  ${CMAKE_CURRENT_LIST_DIR}/embedding.cpp
  ${CMAKE_CURRENT_LIST_DIR}/embedding.h
  ${CMAKE_CURRENT_LIST_DIR}/embedserver.cpp
  ${CMAKE_CURRENT_LIST_DIR}/embedserver.h
  ${CMAKE_CURRENT_LIST_DIR}/ipframe.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ipframe.h
  ${CMAKE_CURRENT_LIST_DIR}/srvritem.cpp
  ${CMAKE_CURRENT_LIST_DIR}/srvritem.h)
set_target_properties(prax_embed PROPERTIES AUTOMOC ON)
target_include_directories(prax_embed PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(prax_embed PUBLIC prax_windows prax_docview Qt6::DBus Qt6::Widgets PRIVATE prax_warnings)
# ActivateInPlace asks the X server whether the container's window exists.
find_library(PRAX_XCB_LIBRARY xcb)
find_path(PRAX_XCB_INCLUDE xcb/xcb.h)
if(PRAX_XCB_LIBRARY AND PRAX_XCB_INCLUDE)
  target_include_directories(prax_embed PRIVATE ${PRAX_XCB_INCLUDE})
  target_link_libraries(prax_embed PRIVATE ${PRAX_XCB_LIBRARY})
  target_compile_definitions(prax_embed PRIVATE PRAX_HAVE_XCB)
endif()

