quarvel_test(tests_measure
  measure/cursor_test.cpp
  measure/results_test.cpp
  measure/block_stats_test.cpp
  measure/peaks_test.cpp
)

quarvel_test(tests_annotations
  measure/annotations_test.cpp
)
