zentrik_add_test(parts_ui_parts_folder_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/file_view_model_test.cpp
          ${CMAKE_CURRENT_LIST_DIR}/part_name_rules_test.cpp
  LIBS zentrik_parts_ui)
zentrik_add_display_test(parts_ui_name_dialogs_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/new_part_dialogs_test.cpp
  LIBS zentrik_parts_ui)
