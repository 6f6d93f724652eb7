# The export run: the job's row loop and the report text, then the progress and report
# dialogs over real and scripted runs.
zentrik_add_display_test(parts_ui_export_job_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/export_job_test.cpp LIBS zentrik_parts_ui)
zentrik_add_display_test(parts_ui_output_progress_dialog_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/output_progress_dialog_test.cpp LIBS zentrik_parts_ui)
