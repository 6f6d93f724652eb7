# The file-tree pane: selection with the save question, label edits, drags and the
# context menu, driven by real input.
zentrik_add_display_test(parts_ui_file_view_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/file_view_test.cpp LIBS zentrik_parts_ui)
