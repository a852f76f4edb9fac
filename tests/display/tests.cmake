quarvel_test(tests_display
  display/curve_plan_test.cpp
  display/draw_curves_test.cpp
  display/draw_frame_test.cpp
)

quarvel_test(tests_navigation
  display/view_math_test.cpp
  display/display_modes_test.cpp
  display/navigation_test.cpp
)
