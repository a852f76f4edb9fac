quarvel_test(tests_core
  core/numbers_test.cpp
  core/shared_state_test.cpp
  core/startup_test.cpp
  core/typed_values_test.cpp
)
