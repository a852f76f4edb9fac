list(APPEND QUARVEL_APP_SOURCES
  datafile/wiring.cpp
)
