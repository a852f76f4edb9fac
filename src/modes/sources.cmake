list(APPEND QUARVEL_APP_SOURCES
  modes/wiring.cpp
)
