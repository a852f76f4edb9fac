quarvel_test(tests_app
  window/app/startup_test.cpp
  window/app/settings_test.cpp
  window/app/accessibility_test.cpp
  window/app/remembered_test.cpp
  window/app/window_fit_test.cpp
  window/app/program_test.cpp
)
# The program itself, started as a shell starts it.
add_dependencies(tests_app quarvel)
target_compile_definitions(tests_app PRIVATE QUARVEL_PROGRAM="$<TARGET_FILE:quarvel>")
quarvel_test(tests_acquisition
  window/acquisition/recording_test.cpp
  window/acquisition/monitor_test.cpp
  window/acquisition/device_test.cpp
)
# The device tests play a board on a pseudo-terminal.
target_link_libraries(tests_acquisition PRIVATE quarvel_pty_board)
# A recording for the kill test to kill; not a test itself.
add_executable(record_until_killed window/acquisition/record_until_killed.cpp)
target_link_libraries(record_until_killed PRIVATE quarvel_test_main quarvel_warnings quarvel_sanitizers)
add_dependencies(tests_acquisition record_until_killed)
target_compile_definitions(tests_acquisition PRIVATE QUARVEL_RECORD_CHILD="$<TARGET_FILE:record_until_killed>")
# Commands that fail for want of memory: this program's allocator fails on request.
quarvel_test(tests_allocation_failure window/acquisition/allocation_failure_test.cpp)

quarvel_test(tests_datafile window/datafile/open_file_test.cpp window/datafile/edf_file_test.cpp
             window/datafile/files_in_test.cpp)
# The EDF tests make foreign files with EDFlib.
target_link_libraries(tests_datafile PRIVATE EDFlib::EDFlib)
quarvel_test(tests_display
  window/display/draw_curves_test.cpp
  window/display/draw_frame_test.cpp
  window/display/display_modes_test.cpp
  window/display/filter_test.cpp
  window/display/navigation_test.cpp
  window/display/browse_test.cpp
  window/display/picture_test.cpp
  window/display/reference_curves.cpp
)
quarvel_test(tests_measure
  window/measure/cursor_test.cpp
  window/measure/results_test.cpp
  window/measure/block_stats_test.cpp
  window/measure/peaks_test.cpp
  window/measure/annotations_test.cpp
  window/measure/results_file_test.cpp
  window/measure/day_recording_test.cpp
  window/measure/physical_units_test.cpp
)
quarvel_test(tests_modes
  window/modes/working_modes_test.cpp
  window/modes/view_transitions_test.cpp
  window/modes/view_states_test.cpp
  window/modes/spectrum_copy_test.cpp
  window/modes/picture_file_test.cpp
)
# The picture test renders saved SVG files.
target_link_libraries(tests_modes PRIVATE Qt6::Svg)
target_compile_definitions(tests_datafile PRIVATE QUARVEL_DEMO_FILE="${PROJECT_SOURCE_DIR}/demo/rest_and_stimuli.bin")
