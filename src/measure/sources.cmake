list(APPEND QUARVEL_CORE_SOURCES
  measure/results_layout.cpp
)
list(APPEND QUARVEL_APP_SOURCES
  measure/results_table.cpp
  measure/wiring.cpp
)
