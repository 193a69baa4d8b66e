# The Batch job dialog (prax_batch_dlg) over the batch core (prax_batch, batch/).
add_library(prax_batch_dlg STATIC
  ${CMAKE_CURRENT_LIST_DIR}/batchjobdlg.cpp
  ${CMAKE_CURRENT_LIST_DIR}/batchjobdlg.h)
target_include_directories(prax_batch_dlg PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(prax_batch_dlg PUBLIC prax_batch prax_common Qt6::Widgets)
target_compile_options(prax_batch_dlg PRIVATE -Wall -Wextra)
