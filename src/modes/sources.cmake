list(APPEND QUARVEL_APP_SOURCES
  modes/wiring.cpp
  modes/working_modes.cpp
)
