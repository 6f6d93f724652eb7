# The file-tree pane and the current part together in a real main frame, driven by clicks.
zentrik_add_display_test(parts_ui_file_tree_pane_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/file_tree_pane_test.cpp LIBS zentrik_shell)
