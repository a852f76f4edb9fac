quarvel_test(tests_ui
  ui/user_scale_test.cpp
  ui/surface_test.cpp
  ui/results_grid_test.cpp
  ui/accessibility_test.cpp
)
