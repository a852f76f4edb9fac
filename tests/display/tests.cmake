quarvel_test(tests_display
  display/curve_plan_test.cpp
  display/draw_curves_test.cpp
  display/draw_frame_test.cpp
)
