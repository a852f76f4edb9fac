quarvel_test(tests_datafile
  datafile/codec_test.cpp
  datafile/bin_reader_test.cpp
  datafile/prn_reader_test.cpp
  datafile/file_names_test.cpp
  datafile/open_file_test.cpp
  datafile/recording_writer_test.cpp
)
