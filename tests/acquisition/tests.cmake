quarvel_test(tests_acquisition
  acquisition/signal_source_test.cpp
  acquisition/recording_test.cpp
  acquisition/monitor_test.cpp
  acquisition/settings_test.cpp
)
