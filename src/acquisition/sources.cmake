list(APPEND QUARVEL_APP_SOURCES
  acquisition/wiring.cpp
)
