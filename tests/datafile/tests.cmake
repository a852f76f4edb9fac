quarvel_test(tests_datafile
  datafile/codec_test.cpp
  datafile/bin_reader_test.cpp
  datafile/prn_reader_test.cpp
  datafile/file_names_test.cpp
  datafile/open_file_test.cpp
  datafile/recording_writer_test.cpp
  datafile/fuzz_replay_test.cpp
  datafile/edf_test.cpp
  ${PROJECT_SOURCE_DIR}/fuzz/properties.cpp
  ${PROJECT_SOURCE_DIR}/fuzz/seeds.cpp
)
# The replay test reads the committed seeds and regressions and shares the fuzz targets' checks.
target_include_directories(tests_datafile PRIVATE ${PROJECT_SOURCE_DIR}/fuzz)
target_compile_definitions(tests_datafile PRIVATE QUARVEL_FUZZ_DIR="${PROJECT_SOURCE_DIR}/fuzz")
# The EDF tests make their own files with EDFlib.
target_link_libraries(tests_datafile PRIVATE EDFlib::EDFlib)
