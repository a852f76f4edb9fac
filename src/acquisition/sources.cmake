list(APPEND QUARVEL_CORE_SOURCES
  acquisition/chunk.cpp
  acquisition/signal_source.cpp
)
list(APPEND QUARVEL_APP_SOURCES
  acquisition/acquire.cpp
  acquisition/recording.cpp
  acquisition/recording_header.cpp
  acquisition/wiring.cpp
)
