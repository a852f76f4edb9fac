list(APPEND QUARVEL_APP_SOURCES
  modes/view_menus.cpp
  modes/wiring.cpp
  modes/working_modes.cpp
)
