quarvel_test(tests_modes
  modes/working_modes_test.cpp
)
quarvel_test(tests_export
  modes/spectrum_test.cpp
)
