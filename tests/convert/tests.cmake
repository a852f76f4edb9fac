# The companion run as a process; its EDF+ is compared with the window's own export, so the test
# builds the window too, and it makes a foreign EDF file with EDFlib.
quarvel_test(tests_convert convert/convert_process_test.cpp)
target_link_libraries(tests_convert PRIVATE EDFlib::EDFlib)
target_compile_definitions(tests_convert PRIVATE QUARVEL_CONVERT="$<TARGET_FILE:quarvel-convert>")
add_dependencies(tests_convert quarvel-convert)
