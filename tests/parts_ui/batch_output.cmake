# The export list dialog with its output-name editor and modeling-type dialog, over a
# temporary parts folder, opened as the Export command opens it.
zentrik_add_display_test(parts_ui_batch_output_dialog_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/batch_output_dialog_test.cpp LIBS zentrik_parts_ui)
