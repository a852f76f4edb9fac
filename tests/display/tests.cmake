quarvel_test(tests_display
  display/draw_frame_test.cpp
)
