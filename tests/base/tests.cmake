quarvel_core_test(tests_base
  base/core/numbers_test.cpp
  base/core/start_and_kept_test.cpp
  base/core/sample_array_test.cpp
  base/core/shared_state_test.cpp
  base/core/typed_values_test.cpp
  base/acquisition/firmata_test.cpp
  base/acquisition/sample_pace_test.cpp
  base/acquisition/serial_lines_test.cpp
  base/acquisition/serial_link_test.cpp
  base/acquisition/signal_source_test.cpp
  base/datafile/bin_reader_test.cpp
  base/datafile/calibration_block_test.cpp
  base/datafile/codec_test.cpp
  base/datafile/edf_test.cpp
  base/datafile/file_names_test.cpp
  base/datafile/fuzz_replay_test.cpp
  base/datafile/prn_reader_test.cpp
  base/datafile/recording_writer_test.cpp
  base/display/curve_plan_test.cpp
  base/display/plot_geometry_test.cpp
  base/display/view_math_test.cpp
  base/modes/export_text_test.cpp
  base/modes/filter_test.cpp
  base/modes/spectrum_test.cpp
  base/modes/radix2_spectrum.cpp
  ${PROJECT_SOURCE_DIR}/fuzz/properties.cpp
  ${PROJECT_SOURCE_DIR}/fuzz/serial_properties.cpp
  ${PROJECT_SOURCE_DIR}/fuzz/seeds.cpp
)
# The replay test reads the committed seeds and regressions and shares the fuzz targets' checks;
# the EDF tests make their own files with EDFlib.
target_include_directories(tests_base PRIVATE ${PROJECT_SOURCE_DIR}/fuzz)
target_compile_definitions(tests_base PRIVATE QUARVEL_FUZZ_DIR="${PROJECT_SOURCE_DIR}/fuzz")
target_link_libraries(tests_base PRIVATE EDFlib::EDFlib)
# The filter tests hold the filters against SciPy's results, made by tools/make-filter-references.
target_compile_definitions(tests_base PRIVATE
                           QUARVEL_FILTER_REFERENCES="${CMAKE_CURRENT_SOURCE_DIR}/base/modes/filter_references.txt")

# The device reader through a pseudo-terminal: seconds of real time per test, in a program of its own.
quarvel_core_test(tests_serial_device base/acquisition/serial_device_test.cpp)
target_link_libraries(tests_serial_device PRIVATE quarvel_pty_board)
