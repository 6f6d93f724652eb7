# Opening, applying and saving the current part in a real main frame.
zentrik_add_display_test(parts_ui_current_part_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/current_part_test.cpp
  LIBS zentrik_shell)
