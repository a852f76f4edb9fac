quarvel_test(tests_datafile
  datafile/codec_test.cpp
  datafile/bin_reader_test.cpp
  datafile/prn_reader_test.cpp
  datafile/file_names_test.cpp
  datafile/open_file_test.cpp
  datafile/edf_test.cpp
)
# The EDF tests make their own files with EDFlib.
target_link_libraries(tests_datafile PRIVATE EDFlib::EDFlib)
