# The batch job: its file step and job list without Qt (prax_batch, also used by
# prax-format), and the Batch job dialog (prax_batch_dlg).
if(NOT TARGET prax_batch)
  add_library(prax_batch STATIC
    ${CMAKE_CURRENT_LIST_DIR}/batch_core.cpp
    ${CMAKE_CURRENT_LIST_DIR}/batch_core.h)
  target_include_directories(prax_batch PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(prax_batch PUBLIC engine)
  target_compile_options(prax_batch PRIVATE -Wall -Wextra)
endif()

add_library(prax_batch_dlg STATIC
  ${CMAKE_CURRENT_LIST_DIR}/batchjobdlg.cpp
  ${CMAKE_CURRENT_LIST_DIR}/batchjobdlg.h)
target_include_directories(prax_batch_dlg PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(prax_batch_dlg PUBLIC prax_batch prax_common Qt6::Widgets)
target_compile_options(prax_batch_dlg PRIVATE -Wall -Wextra)
