quarvel_toolkit_test(tests_toolkit
  toolkit/ui/user_scale_test.cpp
  toolkit/ui/surface_test.cpp
  toolkit/ui/results_grid_test.cpp
  toolkit/ui/filter_dialog_test.cpp
  toolkit/ui/calibration_dialog_test.cpp
)
