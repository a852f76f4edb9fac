quarvel_test(tests_measure
  measure/cursor_test.cpp
  measure/results_test.cpp
)
