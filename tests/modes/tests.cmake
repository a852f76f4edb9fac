quarvel_test(tests_modes
  modes/working_modes_test.cpp
)
quarvel_test(tests_export
  modes/export_text_test.cpp
  modes/spectrum_copy_test.cpp
  modes/spectrum_test.cpp
)
