list(APPEND QUARVEL_CORE_SOURCES
  display/curve_plan.cpp
  display/geometry.cpp
  display/scale_choice.cpp
  display/status_line.cpp
)
list(APPEND QUARVEL_APP_SOURCES
  display/draw_curves.cpp
  display/draw_frame.cpp
  display/wiring.cpp
)
