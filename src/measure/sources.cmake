list(APPEND QUARVEL_CORE_SOURCES
  measure/block_summary.cpp
  measure/peak_scan.cpp
  measure/readout.cpp
  measure/results_layout.cpp
  measure/results_rows.cpp
)
list(APPEND QUARVEL_APP_SOURCES
  measure/annotations.cpp
  measure/auto_peaks.cpp
  measure/block_stats.cpp
  measure/cursor.cpp
  measure/marks.cpp
  measure/results_table.cpp
  measure/wiring.cpp
)
