list(APPEND QUARVEL_CORE_SOURCES
  display/averaging.cpp
  display/curve_plan.cpp
  display/geometry.cpp
  display/scale_choice.cpp
  display/status_line.cpp
  display/view_math.cpp
)
list(APPEND QUARVEL_APP_SOURCES
  display/display_modes.cpp
  display/draw_curves.cpp
  display/draw_frame.cpp
  display/navigation.cpp
  display/wiring.cpp
)
