list(APPEND QUARVEL_UI_SOURCES
  ui/clipboard.cpp
  ui/dialogs.cpp
  ui/events.cpp
  ui/fonts.cpp
  ui/progress_window.cpp
  ui/results_grid.cpp
  ui/surface.cpp
  ui/tick_timer.cpp
)
