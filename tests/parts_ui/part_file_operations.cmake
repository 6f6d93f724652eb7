zentrik_add_test(parts_ui_part_file_operations_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/part_file_operations_test.cpp
  LIBS zentrik_parts_ui)
zentrik_add_display_test(parts_ui_check_save_modified_part_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/check_save_modified_part_test.cpp
  LIBS zentrik_parts_ui)
