list(APPEND QUARVEL_CORE_SOURCES
  datafile/bin_format.cpp
  datafile/bin_reader.cpp
  datafile/edf_export.cpp
  datafile/edf_marks.cpp
  datafile/edf_reader.cpp
  datafile/edflib_support.cpp
  datafile/file_names.cpp
  datafile/prn_reader.cpp
  datafile/reading.cpp
  datafile/recording_writer.cpp
)
list(APPEND QUARVEL_APP_SOURCES
  datafile/open_file.cpp
  datafile/wiring.cpp
)
