quarvel_test(tests_modes
  modes/working_modes_test.cpp
)
