quarvel_test(tests_acquisition
  acquisition/signal_source_test.cpp
  acquisition/recording_test.cpp
  acquisition/monitor_test.cpp
  acquisition/settings_test.cpp
)

# A recording for the kill test to kill; not a test itself.
add_executable(record_until_killed acquisition/record_until_killed.cpp support/scripted_dialogs.cpp
                                   support/window_fixture.cpp)
target_include_directories(record_until_killed PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(record_until_killed PRIVATE quarvel_app GTest::gtest Qt6::Test quarvel_warnings)
add_dependencies(tests_acquisition record_until_killed)
target_compile_definitions(tests_acquisition PRIVATE QUARVEL_RECORD_CHILD="$<TARGET_FILE:record_until_killed>")

# Commands that fail for want of memory: this program's allocator fails on request.
quarvel_test(tests_allocation_failure acquisition/allocation_failure_test.cpp)
